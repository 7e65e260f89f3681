// Drives the installer through a whole local installation and a maintenance
// update the way a user would, taking screenshots on the way:
//
//   scripted_install <installer> <disk 1 folder> <disk 2 folder> <target>
//                    <update source> <screenshot folder>
//   scripted_install --remove <target> <screenshot folder>
//
// The second form then removes the installation as Add/Remove Programs
// does, with the removal program in the target, after putting a file of the
// person's own and a changed lookup table into the target.
// Folders of this machine are given as its own paths; target and update
// source as the installer sees them (C:\TSW30, C:\UPD). The installer may
// also be named as the installer sees it, on disk 1 (A:\SETUP\TSINST95.EXE).
// A:\SETUP.EXE is started as a person starts it, with no arguments: it then
// starts the installer, and the script says which one and from where.
// Exit code 0 when everything happened as expected.
#include "tests/demo/ScreenShot.h"
#include "tests/kit/BoxWatcher.h"
#include "tests/kit/FileBytes.h"
#include "tests/kit/FloppyDrive.h"
#include "tests/kit/GuiDriver.h"
#include "tests/kit/LauncherRun.h"
#include "tests/kit/SetupTraces.h"
#include "tests/kit/TempFolder.h"
#include "tests/kit/UnixBridge.h"
#include "tests/kit/WindowFinder.h"
#include "tests/kit/WindowSearch.h"

#include <cctype>
#include <cstdio>
#include <set>
#include <string>

namespace {
std::string ShotFolder;
int ShotNumber = 0;

void Shot(const char* name)
{
    ::Sleep(300);  // let the window finish painting
    char file[64];
    std::snprintf(file, sizeof file, "\\%02d-%s.bmp", ++ShotNumber, name);
    if (!SaveScreenShot(ShotFolder + file)) std::printf("  (screenshot %s failed)\n", name);
}

// Whether the screen shows the window's line of text: the middle row of its
// client area mostly in the window colour, with ink on it. Wine puts a
// window's drawing on the screen some time after it was drawn (a client
// area not there yet is black), and not while its thread is held.
bool OnScreen(HWND window)
{
    RECT client;
    if (!::GetClientRect(window, &client)) return false;
    POINT from = {client.left, (client.top + client.bottom) / 2};
    ::ClientToScreen(window, &from);
    HDC screen = ::GetDC(nullptr);
    int background = 0;
    int ink = 0;
    for (int x = 0; x < client.right; ++x) {
        const COLORREF pixel = ::GetPixel(screen, from.x + x, from.y);
        if (pixel == ::GetSysColor(COLOR_WINDOW))
            ++background;
        else if (pixel != CLR_INVALID)
            ++ink;
    }
    ::ReleaseDC(nullptr, screen);
    return ink > 0 && background > client.right / 2;
}

// Pictures the installer's next progress window: it lives only as long as
// its list, and its thread pumps no messages then, so the window is found by
// its class alone (its title is asked of that thread) and the thread held
// still for the picture, once the screen shows it.
bool ShootProgress(DWORD pid, const char* shotName, DWORD timeoutMs = 20000)
{
    for (const DWORD start = ::GetTickCount(); ::GetTickCount() - start < timeoutMs; ::Sleep(1)) {
        for (HWND window : TopLevelWindows()) {
            DWORD owner = 0;
            const DWORD thread = ::GetWindowThreadProcessId(window, &owner);
            if (owner != pid || !::IsWindowVisible(window) || WindowClassName(window) != "TsWindow") continue;
            if (!OnScreen(window)) continue;
            HANDLE held = ::OpenThread(THREAD_SUSPEND_RESUME, FALSE, thread);
            if (held) ::SuspendThread(held);
            Shot(shotName);
            if (held) {
                ::ResumeThread(held);
                ::CloseHandle(held);
            }
            return true;
        }
    }
    return false;
}

bool Wait(const WindowMatch& match, HWND& window, DWORD timeoutMs = 20000)
{
    ::testing::AssertionResult found = WaitForWindow(match, window, timeoutMs);
    if (!found) std::printf("FAILED: %s\n", found.message());
    return static_cast<bool>(found);
}

// When Program Manager has made the group, Wine opens the group's folder in
// a window of its own over the screen's middle, where the installer's box
// is; it is moved to the bottom left corner so that the box shows.
void MoveGroupFolderAside(HWND box)
{
    const int top = ::GetSystemMetrics(SM_CYSCREEN) - 220;
    const DWORD start = ::GetTickCount();
    // Watched for a while: the window opens a moment after the group is made.
    while (::GetTickCount() - start < 2500) {
        for (const WindowInfo& window : VisibleTopLevelWindows()) {
            RECT at;
            if (window.Title != "Tessaryn 3.0" ||
                (window.ClassName != "ExplorerWClass" && window.ClassName != "CabinetWClass") ||
                !::GetWindowRect(window.Handle, &at) || (at.left == 0 && at.top == top))
                continue;
            ::SetWindowPos(window.Handle, nullptr, 0, top, 320, 220, SWP_NOZORDER | SWP_NOACTIVATE);
        }
        ::Sleep(100);
    }
    ::SetForegroundWindow(box);
}

// The dialog's Help: the viewer opens the help file at the dialog's topic,
// over the dialog, and is closed again.
bool ShowHelp(HWND dialog, const char* shotName)
{
    PressButton(dialog, 9);
    HWND viewer;
    if (!Wait({"Tessaryn 3.0 Installation Help", "MS_WINHELP", 0}, viewer)) return false;
    std::printf("  Help: the viewer shows \"Tessaryn 3.0 Installation Help\"\n");
    Shot(shotName);
    PostClose(viewer);
    return static_cast<bool>(WaitForWindowGone(viewer));
}

bool IsSetup(const std::string& program)
{
    const std::string name = "\\SETUP.EXE";
    if (program.size() < name.size()) return false;
    std::string tail = program.substr(program.size() - name.size());
    for (char& c : tail) c = static_cast<char>(::toupper(static_cast<unsigned char>(c)));
    return tail == name;
}

bool AnswerBox(const char* title, int button, const char* shotName, const char* expectedText = nullptr)
{
    HWND box;
    if (!Wait(BoxTitled(title), box)) return false;
    if (std::string(title).find("Complete") != std::string::npos) MoveGroupFolderAside(box);
    std::string text = MessageBoxText(box);
    std::printf("  box \"%s\": %s\n", title, text.c_str());
    if (expectedText && text != expectedText) {
        std::printf("FAILED: expected \"%s\"\n", expectedText);
        return false;
    }
    if (shotName) Shot(shotName);
    PressButton(box, button);
    return static_cast<bool>(WaitForWindowGone(box));
}
}

// The removal program of the installation in `target`, started with no
// arguments, both its boxes answered. True when it ends with exit code 0.
bool RemoveInstallation(const std::string& target)
{
    std::printf("Removal from %s, with the person's own MYNOTES.TXT and a line added to LOOKUP\\FEEDER.TBL:\n",
                target.c_str());
    const std::string table = target + "\\LOOKUP\\FEEDER.TBL";
    std::string bytes;
    if (!WriteFileBytes(target + "\\MYNOTES.TXT", "The person's own notes.\r\n") || !ReadFileBytes(table, bytes) ||
        !WriteFileBytes(table, bytes + "A line of the person's own.\r\n")) {
        std::printf("FAILED: cannot write the person's files\n");
        return false;
    }
    // The group's folder window, open since the installation, is closed first,
    // as a person would: Wine's shell does not redraw it when the group goes,
    // and the pictures would show the removed items still listed.
    CloseFolderWindows("Tessaryn 3.0");
    std::string program = target + "\\TSWREMOV.EXE";
    std::string line = "\"" + program + "\"";
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!::CreateProcessA(program.c_str(), &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                          &process)) {
        std::printf("FAILED: cannot start %s (error %lu)\n", program.c_str(), ::GetLastError());
        return false;
    }
    ::CloseHandle(process.hThread);
    const std::string question = "Remove Tessaryn 3.0 and all of its components from " + target +
                                 "?\n\nYour own files and those you changed are kept.";
    bool answered = AnswerBox("Tessaryn 3.0 Removal", IDYES, "removal-question", question.c_str()) &&
                    AnswerBox("Tessaryn 3.0 Removal", IDOK, "removal-complete");
    DWORD exitCode = 1;
    if (::WaitForSingleObject(process.hProcess, 30000) != WAIT_OBJECT_0 ||
        !::GetExitCodeProcess(process.hProcess, &exitCode))
        answered = false;
    ::CloseHandle(process.hProcess);
    std::printf("TSWREMOV.EXE ended with exit code %lu.\n", exitCode);
    return answered && exitCode == 0;
}

int main(int argc, char* argv[])
{
    if (argc == 4 && std::string(argv[1]) == "--remove") {
        ShotFolder = ToWindowsPath(argv[3]);
        ShotNumber = 20;
        return RemoveInstallation(argv[2]) ? 0 : 1;
    }
    if (argc != 7) {
        std::fprintf(stderr, "usage: scripted_install installer disk1 disk2 target update-source shots\n"
                             "       scripted_install --remove target shots\n");
        return 2;
    }
    const std::string installer = argv[1][0] && argv[1][1] == ':' ? argv[1] : ToWindowsPath(argv[1]);
    const std::string disk1 = ToWindowsPath(argv[2]);
    const std::string disk2 = ToWindowsPath(argv[3]);
    const std::string target = argv[4];
    const std::string update = argv[5];
    ShotFolder = ToWindowsPath(argv[6]);

    FloppyDrive floppy;
    if (!floppy.Insert(disk1)) {
        std::printf("FAILED: cannot insert disk 1 in A: (%s)\n", floppy.LastError().c_str());
        return 1;
    }
    const bool bySetup = IsSetup(installer);
    std::printf("Disk 1 in drive A:. Starting %s %s.\n", argv[1],
                bySetup ? "with no arguments, as a double-click does" : "through the launcher stand-in");
    LauncherSetup setup;
    setup.Installer = installer;
    setup.Source = "A:\\";
    setup.Raw = bySetup;
    // The stand-in does as SETUP.EXE does for the help: the help file is
    // copied from SETUP to a folder that becomes the installer's current
    // directory.
    TempFolder launcherFolder("demo-launcher");
    if (!bySetup) {
        ::CopyFileA((disk1 + "\\SETUP\\TSW_INST.HLP").c_str(), (launcherFolder / "tsw_inst.hlp").c_str(), FALSE);
        setup.Directory = launcherFolder.Path();
    }
    setup.TimeoutMs = 120000;
    const std::set<std::string> foldersBefore = SetupTemporaryFolders();
    LauncherRun run(setup);
    DWORD pid = run.InstallerProcessId();
    HWND main;
    if (!pid || !Wait({"Tessaryn 3.0 Installation", "TsFrameWindow", bySetup ? 0 : pid}, main)) return 1;
    if (bySetup) {
        ::GetWindowThreadProcessId(main, &pid);
        std::printf("SETUP.EXE started %s\n", ProcessImage(pid).c_str());
    }
    Shot("main-window");

    std::printf("Local installation into %s:\n", target.c_str());
    PostCommand(main, 1);
    HWND dialog;
    if (!Wait(BoxTitled("Tessaryn 3.0 Local Drive Installation"), dialog)) return 1;
    SetControlText(dialog, 111, target);
    Shot("install-dialog");
    if (!ShowHelp(dialog, "install-dialog-help")) return 1;
    PressButton(dialog, IDOK);

    if (!AnswerBox("New Disk Required", IDOK, "prompt-disk-1", "Place Program Disk 1 in Drive A")) return 1;
    ShootProgress(pid, "progress");

    HWND prompt;
    if (!Wait(BoxTitled("New Disk Required"), prompt)) return 1;
    std::printf("  box \"New Disk Required\": %s (disk 2 goes in)\n", MessageBoxText(prompt).c_str());
    if (!floppy.Insert(disk2)) {
        std::printf("FAILED: cannot swap to disk 2 (%s)\n", floppy.LastError().c_str());
        return 1;
    }
    Shot("prompt-disk-2");
    PressButton(prompt, IDOK);
    // Disk 2's first list: the bar stands where disk 1 left it.
    ShootProgress(pid, "progress-part-way");
    // Wine's Program Manager refuses the Revisions item: the notice says so.
    if (!AnswerBox("Tessaryn 3.0 Installation", IDOK, "group-notice")) return 1;
    if (!AnswerBox("Installation Complete", IDNO, "installation-complete", "Exit Installation Program")) return 1;

    std::printf("Maintenance update from %s:\n", update.c_str());
    PostCommand(main, 5);
    if (!Wait(BoxTitled("Maintenance Update"), dialog)) return 1;
    SetControlText(dialog, 121, target);
    SetControlText(dialog, 122, update);
    Shot("update-dialog");
    PressButton(dialog, IDOK);
    if (!AnswerBox("Tessaryn 3.0 Installation", IDOK, nullptr)) return 1;
    if (!AnswerBox("Maintenance Update Complete", IDYES, "update-complete", "Exit Installation Program")) return 1;

    ::testing::AssertionResult ended = run.WaitForEnd(60000);
    if (!ended) {
        std::printf("FAILED: %s\n", ended.message());
        return 1;
    }
    if (bySetup) {
        const bool gone = SetupTemporaryFolders() == foldersBefore;
        std::printf("SETUP.EXE ended with exit code %lu; its temporary folder is %s.\n",
                    run.Report().InstallerExitCode, gone ? "gone" : "STILL THERE");
        return run.Report().InstallerExitCode == 0 && gone ? 0 : 1;
    }
    std::printf("Installer ended with exit code %lu; the launcher received message 1074 %zu time(s).\n",
                run.Report().InstallerExitCode, run.Report().FinishedCount());
    return run.Report().FinishedCount() > 0 ? 0 : 1;
}
