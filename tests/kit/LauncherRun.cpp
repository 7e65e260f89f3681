#include "tests/kit/LauncherRun.h"

#include "tests/kit/BuildTreePaths.h"
#include "tests/kit/CommandLineQuote.h"
#include "tests/kit/FileBytes.h"
#include "tests/kit/UnixBridge.h"

#include <cstdio>

std::string LauncherStandInPath()
{
    return ToWindowsPath(LauncherStandInUnixPath);
}

namespace {
// Wine meets a program's crash with its debugger, which by default puts up a
// "Program Error" dialog and waits for a user that a test run does not have.
// Without the dialog the debugger writes its backtrace to the console and
// ends the crashed program, so the test sees the crash as an exit code.
void LetCrashesEndQuietly()
{
    static bool done = false;
    if (done) return;
    done = true;
    HKEY key;
    if (::RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Wine\\WineDbg", 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                          nullptr) != ERROR_SUCCESS)
        return;
    DWORD show = 0;
    ::RegSetValueExA(key, "ShowCrashDialog", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&show), sizeof show);
    ::RegCloseKey(key);
}
}

LauncherRun::LauncherRun(const LauncherSetup& setup)
    : Folder(new TempFolder("tskit-launch"))
{
    LetCrashesEndQuietly();
    ReportPath = *Folder / "report.txt";
    std::vector<std::string> line{setup.StandIn, "--report", ReportPath, "--grace", std::to_string(setup.GraceMs),
                                  "--timeout", std::to_string(setup.TimeoutMs)};
    if (!setup.Directory.empty()) {
        line.push_back("--directory");
        line.push_back(setup.Directory);
    }
    for (const std::string& variable : setup.Environment) {
        line.push_back("--set");
        line.push_back(variable);
    }
    if (setup.Raw) {
        line.push_back("--raw");
        line.push_back(setup.Installer);
        line.insert(line.end(), setup.RawArguments.begin(), setup.RawArguments.end());
    } else {
        line.push_back(setup.Installer);
        line.push_back(setup.Source);
    }
    if (!StartProcess(setup.StandIn, line, 0, &StandIn))
        std::fprintf(stderr, "the launcher stand-in did not start: error %lu, program \"%s\"\n", ::GetLastError(),
                     setup.StandIn.c_str());
}

LauncherRun::~LauncherRun()
{
    if (!StandIn) return;
    if (::WaitForSingleObject(StandIn, 0) == WAIT_TIMEOUT) {
        // The test gave up half-way: end the installer, and the stand-in with it.
        if (DWORD pid = InstallerProcessId(0)) {
            if (HANDLE installer = ::OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, pid)) {
                ::TerminateProcess(installer, 0xDEAD);
                ::WaitForSingleObject(installer, 5000);
                ::CloseHandle(installer);
            }
        }
        if (::WaitForSingleObject(StandIn, 5000) == WAIT_TIMEOUT) ::TerminateProcess(StandIn, 0xDEAD);
    }
    ::CloseHandle(StandIn);
}

bool LauncherRun::ReadReport(LauncherReport& report) const
{
    std::string text;
    return ReadFileBytes(ReportPath, text) && ParseLauncherReport(text, report);
}

DWORD LauncherRun::InstallerProcessId(DWORD timeoutMs)
{
    if (InstallerPid || !StandIn) return InstallerPid;
    // The stand-in writes the id once its CreateProcess returns, which waits
    // for the new process to load its libraries: under an emulator on a busy
    // machine that takes seconds. The wait is for that state, or for the
    // stand-in's end (it could not start the installer); the time only
    // bounds a run that hangs.
    const DWORD start = ::GetTickCount();
    for (;;) {
        const bool ended = ::WaitForSingleObject(StandIn, 10) == WAIT_OBJECT_0;
        LauncherReport report;
        if (ReadReport(report) && report.InstallerProcessId) return InstallerPid = report.InstallerProcessId;
        if (ended || ::GetTickCount() - start >= timeoutMs) return 0;
    }
}

::testing::AssertionResult LauncherRun::WaitForInstaller(DWORD& pid, DWORD timeoutMs)
{
    pid = InstallerProcessId(timeoutMs);
    if (pid) return ::testing::AssertionSuccess();
    if (!StandIn) return ::testing::AssertionFailure() << "the launcher stand-in did not start";
    LauncherReport report;
    const bool read = ReadReport(report);
    const bool ended = ::WaitForSingleObject(StandIn, 0) == WAIT_OBJECT_0;
    return ::testing::AssertionFailure() << "the launcher stand-in did not start the installer ("
                                         << (read ? report.State + ", error " + std::to_string(report.StartError)
                                                  : std::string("no report"))
                                         << (ended ? ", the stand-in ended" : ", the stand-in still running") << " after "
                                         << timeoutMs << " ms)";
}

::testing::AssertionResult LauncherRun::WaitForEnd(DWORD timeoutMs)
{
    if (!StandIn) return ::testing::AssertionFailure() << "the launcher stand-in did not start";
    // Messages sent to the test's windows are answered meanwhile: a program
    // that sends to every top-level window (the start of a DDE conversation)
    // would otherwise wait for the end of this wait.
    const DWORD start = ::GetTickCount();
    DWORD wait;
    for (;;) {
        const DWORD elapsed = ::GetTickCount() - start;
        wait = ::MsgWaitForMultipleObjects(1, &StandIn, FALSE, elapsed < timeoutMs ? timeoutMs - elapsed : 0,
                                           QS_SENDMESSAGE);
        if (wait != WAIT_OBJECT_0 + 1) break;
        MSG msg;
        ::PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
    if (wait != WAIT_OBJECT_0)
        return ::testing::AssertionFailure() << "the launcher stand-in (and its installer) still running after "
                                             << timeoutMs << " ms";
    ::GetExitCodeProcess(StandIn, &ExitCode);
    if (!ReadReport(Final))
        return ::testing::AssertionFailure() << "no report from the launcher stand-in (exit code " << ExitCode << ")";
    if (Final.State != "ended")
        return ::testing::AssertionFailure() << "launcher stand-in: installer " << Final.State << ", start error "
                                             << Final.StartError << ", command line: " << Final.CommandLine;
    return ::testing::AssertionSuccess();
}
