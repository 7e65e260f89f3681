#pragma once
// What SETUP.EXE is asked on its command line:
//   SETUP.EXE            an installation, a person answering (any other
//                        argument is ignored, as it always was)
//   SETUP.EXE /Q         an installation with no window that waits for a person
//   SETUP.EXE /A FOLDER  an installation point: both disks copied into FOLDER
// The switch is SETUP.EXE's first argument, in either case.
enum class SetupMode { Attended, Unattended, InstallationPoint };

struct SetupRequest {
    SetupMode Mode = SetupMode::Attended;
    const char* Folder = nullptr;  // /A's folder; null when none followed it
};

SetupRequest ReadSetupSwitches(int argc, char* argv[]);
