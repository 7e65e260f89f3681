#pragma once
#include <cstddef>
#include <cstdint>

constexpr std::size_t kProgramDirectorySize = 256;

// What the launcher's command line tells the installer.
struct LaunchArguments {
    bool Complete = false;         // at least the source path and the window handle
    char ProgramDirectory[kProgramDirectorySize] = {};
    char SourceDrive[2] = {};
    bool HasLauncherWindow = false; // false when the window argument is not hexadecimal
    std::uint16_t LauncherWindow = 0;
};

// Reads argv as the launcher passes it: the installer's path, the source path
// and the launcher's window handle in hexadecimal. Argument 1 is trimmed in place.
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
