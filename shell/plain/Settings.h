#pragma once
#include <cstddef>
#include <cstdint>

#include "shell/plain/CommandLine.h"
#include "shell/plain/PathHelpers.h"

// The five components, in the order they are stored and shown everywhere.
enum Component : int {
    ComponentProgram = 0,
    ComponentCrane,
    ComponentCcir,
    ComponentCanada,
    ComponentExamples,
    ComponentCount
};

// The installation choices shared by the dialogs, the driver and the options file.
struct InstallSettings {
    char TargetDirectory[kPathSize] = "C:\\TSW30";
    std::uint8_t Flags[ComponentCount] = {1, 1, 1, 1, 1};
};

// Values recorded at start-up and shared for the life of the process.
extern char ProgramDirectory[kProgramDirectorySize];
extern char SourceDrive[2];
extern std::uint16_t LauncherWindow;
extern InstallSettings Settings;

// Puts the settings back to their start-up defaults.
void ResetSettings();
