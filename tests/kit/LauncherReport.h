#pragma once
#include <string>
#include <utility>
#include <vector>

// What the launcher stand-in saw, as it writes it to its report file
// (one "key=value" line each).
struct LauncherReport {
    // "running" while the installer runs; then "ended", "timed-out" or
    // "not-started". Empty when no report could be read.
    std::string State;
    std::string LauncherWindow;  // its own window handle, in hex, as passed
    std::string CommandLine;     // the installer's whole command line
    unsigned long InstallerProcessId = 0;
    unsigned long InstallerExitCode = 0;
    unsigned long StartError = 0;
    // wParam and lParam of each finishing notification, in arrival order.
    std::vector<std::pair<unsigned long long, long long>> FinishedParameters;

    std::size_t FinishedCount() const { return FinishedParameters.size(); }
};

std::string FormatLauncherReport(const LauncherReport& report);
// False when the text holds no state line.
bool ParseLauncherReport(const std::string& text, LauncherReport& report);
