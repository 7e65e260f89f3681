#pragma once
// The installer comes as two files: the front (TSINST95.EXE), which shows the
// main window and the installation dialog (and makes an installation point,
// /A), and the engine beside it (TSINST95.DLL), which does everything else
// and comes from disk 1 after the window shows. The front calls the engine's
// one entry:
//   - with no hand-over for an unattended run (/Q): the engine runs it from
//     the command line, main window and all;
//   - with one once a person's command needs the engine: the engine takes
//     over the front's main window and goes on from the command's point.
// Both files are built from the same headers with the same flags: the
// structure's layout is the same on either side.
#include <windows.h>

#include <cstdint>

#include "shell/plain/Settings.h"

struct EngineHandOver {
    HWND Window;  // the front's main window, shown
    int Command;  // CmInstallLocal or CmInstallNetwork once the dialog said OK, or CmMaintenanceUpdate
    // The dialog's answers and the start-up values.
    InstallSettings Settings;
    char ProgramDirectory[kProgramDirectorySize];
    char SourceDrive[2];
    std::uint16_t LauncherWindow;
    bool TellLauncher;  // the launcher is told at the end
};

// The engine's entry: returns the process's exit code. With a hand-over the
// command line is not read.
using EngineEntry = int (*)(int argc, char* argv[], const EngineHandOver* handOver);
constexpr const char* EngineEntryName = "EngineMain";
