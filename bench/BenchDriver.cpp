// Drives one benchmark round of a window program and times it.
//
//   bench_driver installer LAUNCHER INSTALLER SOURCE TARGET [options]
//       Starts INSTALLER through the launcher stand-in LAUNCHER (as the
//       launcher SETUP.EXE would: "INSTALLER SOURCE <window handle>"), waits
//       for its visible main window, chooses "&Local Drive" (command 1),
//       enters TARGET as the dialog's target directory and presses Install
//       (the source drive is SOURCE's, from the command line; the components
//       are what the dialog offers: all of them unless INSTALL.OPT on SOURCE
//       says otherwise), answers each "New Disk Required" prompt at once
//       (SOURCE must hold both program disks), and at the "Installation
//       Complete" question reads the installer's peak working set and answers
//       Yes.
//   bench_driver window PROGRAM SOURCE TARGET [options]
//       The same for the comparison program bench_window: started directly,
//       command 1, and its "Expansion Complete" question answered Yes.
//   bench_driver close-folder-window TITLE
//       Closes the folder windows with this title that Wine's Program Manager
//       opens when a group is created (they would keep the prefix's Wine
//       server running after the benchmark).
//
// Options: --poll-ms N (how often windows are looked for, default 2),
//          --timeout-ms N (give up after this long, default 120000),
//          --trace (one "seen=" line per window found: the high-resolution
//          clock in ms, the same clock in every process, and its title).
//
// Prints key=value lines:
//   startup_ms  process creation to the main window being visible
//   run_ms      command 1 posted to the completion question shown
//   progress_ms of that, the time a progress window of the program's was on
//               screen (the installer's windows of the framework's generic
//               class, seen at each poll: within a poll's time)
//   peak_ws     the program's peak working set in bytes, read at the question
//   prompts     disk prompts answered
//   finished    finishing notifications the launcher stand-in received
//   ok          1 when the round went as planned
// and one "problem=..." line for anything unexpected (another box, a time-out).
// Exit code 0 when ok.
#include "tests/kit/CommandLineQuote.h"
#include "tests/kit/LauncherReport.h"
#include "tests/kit/WindowSearch.h"
#include "bench/BenchFiles.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <set>
#include <string>
#include <vector>

namespace {
const char* const InstallerTitle = "Tessaryn 3.0 Installation";
const char* const DialogTitle = "Tessaryn 3.0 Local Drive Installation";
const char* const PromptTitle = "New Disk Required";
const char* const InstallerDoneTitle = "Installation Complete";
const char* const WindowProgramTitle = "Bench Expansion Window";
const char* const WindowProgramDoneTitle = "Expansion Complete";
// The installer's progress window is its one window of the framework's generic class.
const char* const ProgressClass = "TsWindow";

constexpr int IdTargetDirectory = 111;
constexpr int CommandLocalDrive = 1;

DWORD PollMs = 2;
DWORD TimeoutMs = 120000;
bool TraceWindows = false;
std::vector<std::string> Problems;

void Seen(const std::string& title)
{
    if (TraceWindows) std::printf("seen=%.2f %s\n", NowSeconds() * 1000.0, title.c_str());
}

// Wall-clock time in 100 ns units, the clock process creation times use.
ULONGLONG Now100ns()
{
    FILETIME now;
    ::GetSystemTimeAsFileTime(&now);
    return (static_cast<ULONGLONG>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
}

ULONGLONG CreationTime(HANDLE process)
{
    FILETIME created, exited, kernel, user;
    if (!::GetProcessTimes(process, &created, &exited, &kernel, &user)) return 0;
    return (static_cast<ULONGLONG>(created.dwHighDateTime) << 32) | created.dwLowDateTime;
}

bool Exited(HANDLE process)
{
    return ::WaitForSingleObject(process, 0) == WAIT_OBJECT_0;
}

// Waits for the visible main window of the process. Returns it, and the time
// from process creation to the moment it was seen.
HWND WaitForMainWindow(HANDLE process, DWORD processId, const char* title, double& startupMs)
{
    ULONGLONG created = CreationTime(process);
    DWORD start = ::GetTickCount();
    for (;;) {
        HWND found = nullptr;
        for (const WindowInfo& window : VisibleTopLevelWindows(processId))
            if (window.Title == title) found = window.Handle;
        if (found) {
            ULONGLONG seen = Now100ns();
            Seen(title);
            startupMs = created ? static_cast<double>(seen - created) / 10000.0 : -1.0;
            if (TraceWindows && created)
                std::printf("seen=%.2f (process created)\n", NowSeconds() * 1000.0 - startupMs);
            return found;
        }
        if (Exited(process)) {
            Problems.push_back("the program ended before its main window appeared");
            return nullptr;
        }
        if (::GetTickCount() - start > TimeoutMs) {
            Problems.push_back(std::string("no visible window \"") + title + "\"");
            return nullptr;
        }
        ::Sleep(1);
    }
}

void Press(HWND box, int id)
{
    ::PostMessageA(box, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(::GetDlgItem(box, id)));
}

bool SendToControl(HWND dialog, int id, UINT message, WPARAM wParam, LPARAM lParam)
{
    HWND control = ::GetDlgItem(dialog, id);
    DWORD_PTR answer = 0;
    return control && ::SendMessageTimeoutA(control, message, wParam, lParam, SMTO_ABORTIFHUNG, 5000, &answer);
}

struct Round {
    double StartupMs = -1;
    double RunMs = -1;
    double ProgressMs = 0;
    unsigned long long PeakWs = 0;
    int Prompts = 0;
    bool Done = false;
};

// Posts command 1 to the main window and answers what comes up until the
// completion question, which is answered Yes.
void RunCommand(HANDLE process, HWND mainWindow, bool installer, const std::string& target, Round& round)
{
    DWORD processId = 0;
    ::GetWindowThreadProcessId(mainWindow, &processId);
    const char* doneTitle = installer ? InstallerDoneTitle : WindowProgramDoneTitle;
    std::set<HWND> answered;
    double start = NowSeconds();
    Seen("(command posted)");
    ::PostMessageA(mainWindow, WM_COMMAND, MAKEWPARAM(CommandLocalDrive, 0), 0);
    double progressSince = -1;
    for (;;) {
        // One look at the process's windows a round: its boxes, and whether a
        // progress window is up.
        // Class names only: a window's title may be asked of its thread,
        // which pumps no messages while it expands.
        std::vector<HWND> boxes;
        bool progress = false;
        for (HWND window : TopLevelWindows()) {
            DWORD owner = 0;
            ::GetWindowThreadProcessId(window, &owner);
            if (owner != processId || !::IsWindowVisible(window)) continue;
            const std::string className = WindowClassName(window);
            if (className == "#32770") boxes.push_back(window);
            if (className == ProgressClass) progress = true;
        }
        const double now = NowSeconds();
        if (progress && progressSince < 0) progressSince = now;
        if (!progress && progressSince >= 0) {
            round.ProgressMs += (now - progressSince) * 1000.0;
            progressSince = -1;
        }
        std::set<HWND> present(boxes.begin(), boxes.end());
        for (auto it = answered.begin(); it != answered.end();) it = present.count(*it) ? ++it : answered.erase(it);
        for (HWND box : boxes) {
            if (answered.count(box)) continue;
            std::string title = WindowText(box);
            Seen(title);
            if (title == doneTitle) {
                round.RunMs = (NowSeconds() - start) * 1000.0;
                round.PeakWs = PeakWorkingSet(process);
                round.Done = true;
                Press(box, IDYES);
                return;
            }
            answered.insert(box);
            if (installer && title == DialogTitle) {
                // One message: whatever the driver does here is counted in the time.
                if (!SendToControl(box, IdTargetDirectory, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(target.c_str())))
                    Problems.push_back("the installation dialog did not take the target directory");
                Press(box, IDOK);
            } else if (installer && title == PromptTitle) {
                ++round.Prompts;
                Press(box, IDOK);
            } else {
                Problems.push_back("unexpected box \"" + title + "\": " + MessageBoxText(box));
                Press(box, IDOK);
            }
        }
        if (Exited(process)) {
            Problems.push_back("the program ended before its completion question");
            return;
        }
        if ((NowSeconds() - start) * 1000.0 > TimeoutMs) {
            Problems.push_back(std::string("no \"") + doneTitle + "\" box in time");
            return;
        }
        ::Sleep(PollMs);
    }
}

bool ReadReport(const std::string& path, LauncherReport& report)
{
    FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return false;
    std::string text;
    char buffer[512];
    for (std::size_t got; (got = std::fread(buffer, 1, sizeof buffer, file)) > 0;) text.append(buffer, got);
    std::fclose(file);
    return ParseLauncherReport(text, report);
}

std::string ReportPath()
{
    char folder[MAX_PATH];
    ::GetTempPathA(sizeof folder, folder);
    char name[64];
    std::snprintf(name, sizeof name, "tsbench-launcher-%lu.txt", ::GetCurrentProcessId());
    return std::string(folder) + name;
}

void EndIfRunning(HANDLE process)
{
    if (process && !Exited(process)) {
        ::TerminateProcess(process, 0xDEAD);
        ::WaitForSingleObject(process, 5000);
    }
}

int Usage()
{
    std::fprintf(stderr,
                 "usage: bench_driver installer LAUNCHER INSTALLER SOURCE TARGET [--poll-ms N] [--timeout-ms N] [--trace]\n"
                 "       bench_driver window PROGRAM SOURCE TARGET [--poll-ms N] [--timeout-ms N] [--trace]\n"
                 "       bench_driver close-folder-window TITLE\n");
    return 2;
}
}

int main(int argc, char** argv)
{
    std::vector<std::string> positional;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg == "--poll-ms" && i + 1 < argc) PollMs = std::strtoul(argv[++i], nullptr, 10);
        else if (arg == "--timeout-ms" && i + 1 < argc) TimeoutMs = std::strtoul(argv[++i], nullptr, 10);
        else if (arg == "--trace") TraceWindows = true;
        else positional.push_back(arg);
    }
    if (positional.empty()) return Usage();
    if (positional[0] == "close-folder-window" && positional.size() == 2) {
        CloseFolderWindows(positional[1]);
        return 0;
    }
    bool installer = positional[0] == "installer";
    if (!(installer && positional.size() == 5) && !(positional[0] == "window" && positional.size() == 4))
        return Usage();

    Round round;
    HANDLE launcher = nullptr;
    HANDLE program = nullptr;
    DWORD programId = 0;
    std::string reportPath = ReportPath();
    unsigned long finished = 0;
    if (installer) {
        const std::string& source = positional[3];
        ::DeleteFileA(reportPath.c_str());
        DWORD launcherId = 0;
        StartProcess(positional[1], {positional[1], "--report", reportPath, "--grace", "300", "--timeout",
                                     std::to_string(TimeoutMs), positional[2], source},
                     0, &launcher, &launcherId);
        if (!launcher) Problems.push_back("the launcher stand-in could not be started");
        DWORD start = ::GetTickCount();
        while (launcher && !programId) {
            LauncherReport report;
            if (ReadReport(reportPath, report) && report.InstallerProcessId) programId = report.InstallerProcessId;
            else if (Exited(launcher) || ::GetTickCount() - start > TimeoutMs) break;
            else ::Sleep(1);
        }
        if (launcher && !programId) Problems.push_back("the launcher stand-in did not start the installer");
        if (programId)
            program = ::OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ | PROCESS_TERMINATE | SYNCHRONIZE,
                                    FALSE, programId);
    } else {
        StartProcess(positional[1], {positional[1], positional[2], positional[3]}, 0, &program, &programId);
        if (!program) Problems.push_back("the window program could not be started");
    }

    if (program) {
        const char* title = installer ? InstallerTitle : WindowProgramTitle;
        HWND mainWindow = WaitForMainWindow(program, programId, title, round.StartupMs);
        if (mainWindow) {
            // The command is given once the program waits for input.
            ::WaitForInputIdle(program, 10000);
            RunCommand(program, mainWindow, installer, positional[installer ? 4 : 3], round);
        }
        if (::WaitForSingleObject(program, round.Done ? 30000 : 0) != WAIT_OBJECT_0) {
            if (round.Done) Problems.push_back("the program did not end after Yes");
            EndIfRunning(program);
        }
    }
    if (launcher) {
        if (::WaitForSingleObject(launcher, 30000) != WAIT_OBJECT_0) {
            Problems.push_back("the launcher stand-in did not end");
            EndIfRunning(launcher);
        }
        LauncherReport report;
        if (ReadReport(reportPath, report)) finished = report.FinishedCount();
        if (round.Done && finished == 0) Problems.push_back("no finishing notification reached the launcher");
        ::DeleteFileA(reportPath.c_str());
    }

    // A drive holding both disks answers each of the two prompts at once.
    if (installer && round.Done && round.Prompts != 2)
        Problems.push_back("expected 2 disk prompts, answered " + std::to_string(round.Prompts));
    bool ok = round.Done && Problems.empty();
    std::printf("startup_ms=%.2f\nrun_ms=%.2f\nprogress_ms=%.2f\npeak_ws=%llu\nprompts=%d\nfinished=%lu\n",
                round.StartupMs, round.RunMs, round.ProgressMs, round.PeakWs, round.Prompts, finished);
    for (const std::string& problem : Problems) std::printf("problem=%s\n", problem.c_str());
    std::printf("ok=%d\n", ok ? 1 : 0);
    if (program) ::CloseHandle(program);
    if (launcher) ::CloseHandle(launcher);
    return ok ? 0 : 1;
}
