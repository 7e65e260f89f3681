// A stand-in for the launcher SETUP.EXE: creates its window, starts an
// installer with "<source path> <window handle in hex>" (or with the raw
// arguments given after --raw), runs its message loop while the installer
// runs, and counts the finishing notifications (message 1074) that arrive.
//
//   launcher_standin [options] INSTALLER SOURCE
//   launcher_standin [options] --raw INSTALLER [ARGUMENT...]
//
// Options:
//   --report FILE     write what happened to FILE (key=value lines); written
//                     once the installer runs (state=running, with its process
//                     id) and again at the end
//   --grace MS        keep pumping messages this long after the installer has
//                     ended (default 0: what it posted before its end is
//                     in the queue by then, and is taken all the same)
//   --timeout MS      end the installer if it runs longer (default 60000)
//   --directory DIR   the installer's current directory
//   --set NAME=VALUE  an environment variable of the installer (repeatable)
// In --raw mode "{hwnd}" in an argument is replaced by the window handle in hex.
// Arguments are passed on quoted as the C runtime splits them.
//
// Exit code: the number of notifications that arrived once the installer has
// ended; 200 usage error, 201 the installer could not be started, 202 the
// installer was ended after the time-out.
#include "tests/kit/CommandLineQuote.h"
#include "tests/kit/LauncherReport.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {
constexpr UINT FinishedMessage = WM_USER + 50;

struct Arrival {
    WPARAM WParam;
    LPARAM LParam;
};
std::vector<Arrival> Arrivals;

LRESULT CALLBACK StandInProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == FinishedMessage) {
        Arrivals.push_back({wParam, lParam});
        return 0;
    }
    return ::DefWindowProcA(window, message, wParam, lParam);
}

struct Options {
    std::string Report;
    DWORD GraceMs = 0;
    DWORD TimeoutMs = 60000;
    std::string Directory;
    std::vector<std::string> Environment;  // NAME=VALUE
    bool Raw = false;
    std::string Installer;
    std::vector<std::string> Arguments;
};

bool ParseOptions(int argc, char** argv, Options& options)
{
    int i = 1;
    for (; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg == "--raw") {
            options.Raw = true;
        } else if ((arg == "--report" || arg == "--grace" || arg == "--timeout" || arg == "--directory" ||
                    arg == "--set") &&
                   i + 1 < argc) {
            const char* value = argv[++i];
            if (arg == "--report") options.Report = value;
            else if (arg == "--set") options.Environment.push_back(value);
            else if (arg == "--grace") options.GraceMs = std::strtoul(value, nullptr, 10);
            else if (arg == "--timeout") options.TimeoutMs = std::strtoul(value, nullptr, 10);
            else options.Directory = value;
        } else if (arg.rfind("--", 0) == 0) {
            return false;
        } else {
            break;
        }
    }
    if (i >= argc) return false;
    options.Installer = argv[i++];
    for (; i < argc; ++i) options.Arguments.push_back(argv[i]);
    return options.Raw || options.Arguments.size() == 1;
}

void WriteReport(const Options& options, const LauncherReport& report)
{
    if (options.Report.empty()) return;
    std::string temporary = options.Report + ".part";
    FILE* file = std::fopen(temporary.c_str(), "wb");
    if (!file) return;
    std::string text = FormatLauncherReport(report);
    std::fwrite(text.data(), 1, text.size(), file);
    std::fclose(file);
    ::MoveFileExA(temporary.c_str(), options.Report.c_str(), MOVEFILE_REPLACE_EXISTING);
}

void PumpMessages()
{
    MSG msg;
    while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
}

// Pumps messages until the handle is signalled or the time is up; true when signalled.
bool PumpUntil(HANDLE handle, DWORD milliseconds)
{
    DWORD start = ::GetTickCount();
    for (;;) {
        DWORD elapsed = ::GetTickCount() - start;
        DWORD remaining = elapsed >= milliseconds ? 0 : milliseconds - elapsed;
        DWORD count = handle ? 1 : 0;
        DWORD wait = ::MsgWaitForMultipleObjects(count, handle ? &handle : nullptr, FALSE, remaining, QS_ALLINPUT);
        if (handle && wait == WAIT_OBJECT_0) return true;
        PumpMessages();
        if (wait == WAIT_TIMEOUT || wait == WAIT_FAILED) return false;
    }
}
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    Options options;
    if (!ParseOptions(__argc, __argv, options)) {
        std::fprintf(stderr, "usage: launcher_standin [--report FILE] [--grace MS] [--timeout MS] "
                             "[--directory DIR] [--set NAME=VALUE] (INSTALLER SOURCE | --raw INSTALLER [ARGUMENT...])\n");
        return 200;
    }

    WNDCLASSA wc = {};
    wc.lpfnWndProc = StandInProc;
    wc.hInstance = instance;
    wc.lpszClassName = "TsLauncherStandIn";
    ::RegisterClassA(&wc);
    HWND window = ::CreateWindowA(wc.lpszClassName, "Launcher Stand-In", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100,
                                  nullptr, nullptr, instance, nullptr);

    LauncherReport report;
    char handleText[32];
    std::snprintf(handleText, sizeof handleText, "%llX",
                  static_cast<unsigned long long>(reinterpret_cast<ULONG_PTR>(window)));
    report.LauncherWindow = handleText;

    std::vector<std::string> line{options.Installer};
    if (options.Raw) {
        for (std::string arg : options.Arguments) {
            std::size_t at = arg.find("{hwnd}");
            if (at != std::string::npos) arg.replace(at, 6, handleText);
            line.push_back(arg);
        }
    } else {
        line.push_back(options.Arguments[0]);
        line.push_back(handleText);
    }
    report.CommandLine = JoinArguments(line);

    for (const std::string& variable : options.Environment) {
        std::size_t equals = variable.find('=');
        if (equals != std::string::npos)
            ::SetEnvironmentVariableA(variable.substr(0, equals).c_str(), variable.c_str() + equals + 1);
    }
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    std::vector<char> commandLine(report.CommandLine.begin(), report.CommandLine.end());
    commandLine.push_back('\0');
    if (!window || !::CreateProcessA(options.Installer.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0,
                                     nullptr, options.Directory.empty() ? nullptr : options.Directory.c_str(),
                                     &startup, &process)) {
        report.State = "not-started";
        report.StartError = ::GetLastError();
        WriteReport(options, report);
        return 201;
    }
    ::CloseHandle(process.hThread);
    report.State = "running";
    report.InstallerProcessId = process.dwProcessId;
    WriteReport(options, report);

    bool ended = PumpUntil(process.hProcess, options.TimeoutMs);
    if (!ended) {
        ::TerminateProcess(process.hProcess, 0xDEAD);
        ::WaitForSingleObject(process.hProcess, 5000);
    }
    DWORD exitCode = 0;
    ::GetExitCodeProcess(process.hProcess, &exitCode);
    ::CloseHandle(process.hProcess);
    report.InstallerExitCode = exitCode;

    // The notification is posted just before the installer ends: a post is
    // queued before the call returns, so it is here once the process has
    // ended.
    PumpMessages();
    if (options.GraceMs) PumpUntil(nullptr, options.GraceMs);

    for (const Arrival& arrival : Arrivals)
        report.FinishedParameters.push_back({static_cast<unsigned long long>(arrival.WParam),
                                             static_cast<long long>(arrival.LParam)});
    report.State = ended ? "ended" : "timed-out";
    WriteReport(options, report);
    ::DestroyWindow(window);
    return ended ? static_cast<int>(Arrivals.size()) : 202;
}
