#pragma once
#include <cstddef>
#include <cstdint>

#include "shell/plain/PathHelpers.h"

constexpr std::size_t kProgramDirectorySize = 256;

// What the launcher's command line tells the installer.
struct LaunchArguments {
    bool Complete = false;         // at least the source path and the window handle
    char ProgramDirectory[kProgramDirectorySize] = {};
    char SourceDrive[2] = {};
    bool HasLauncherWindow = false; // false when the window argument is not hexadecimal
    std::uint16_t LauncherWindow = 0;
    bool Unattended = false;        // the argument after the window is kUnattendedArgument
    const char* Source = nullptr;   // the source path as given, trimmed
    bool Point = false;             // the argument after the window is kPointArgument
    const char* PointFolder = nullptr;  // the argument after that; null when none
};

// What SETUP.EXE /Q puts after the window argument: the run is unattended.
// Any other further argument is ignored, as before.
constexpr const char* kUnattendedArgument = "/Q";
// What SETUP.EXE /A FOLDER puts there, followed by the folder: the run makes
// an installation point of the source in that folder.
constexpr const char* kPointArgument = "/A";

// Whether two texts are the same but for the case of the letters a to z
// (switches are typed either way).
bool EqualsIgnoringCase(const char* text, const char* other);

// Reads argv as the launcher passes it: the installer's path, the source path
// and the launcher's window handle in hexadecimal, then perhaps
// kUnattendedArgument or kPointArgument and its folder (either case).
// Argument 1 is trimmed in place.
LaunchArguments ParseLaunchArguments(int argc, char* argv[]);

// The directory part of the installer's own path, without a trailing backslash,
// cut to fit `size`.
void DeriveProgramDirectory(char* directory, std::size_t size, const char* programPath);

// Parses a window argument as "%lx" would, keeping the low 16 bits; false when
// it does not start with a hexadecimal number.
bool ParseWindowArgument(const char* text, std::uint16_t& window);

// The handle values that receive the finishing notification, in posting order;
// a value that would reach no window or every window is left out.
struct NotificationTargets {
    std::size_t Count = 0;
    std::uint32_t Handles[2] = {};
};
NotificationTargets FinishingNotificationTargets(std::uint16_t launcherWindow, bool ntBuild);

// The command line split into arguments as the C start-up splits it: the
// program name up to its closing quote or the first blank; then arguments
// separated by blanks, where 2n backslashes before a quote give n and the
// quote opens or closes a quoted part, 2n+1 give n and a literal quote, two
// quotes inside a quoted part give one, and other backslashes stay; a
// double-byte character is copied whole, as the double-byte C start-ups do.
// `argv` needs CommandLineArgumentSlots(strlen(line)) entries (a null one
// ends it), `text` strlen(line) + 1 bytes. Returns argc.
std::size_t CommandLineArgumentSlots(std::size_t lineLength);
int SplitCommandLine(const char* line, char** argv, char* text, LeadByteTest isLead = SystemLeadByte);
