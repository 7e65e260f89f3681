#pragma once
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "tests/kit/LauncherReport.h"
#include "tests/kit/TempFolder.h"

// Starts the launcher stand-in (launcher_standin.exe), which starts an
// installer and counts the finishing notifications, and collects its report.
//
//   LauncherSetup setup;
//   setup.Installer = <Windows path of tsinst95.exe>;
//   setup.Source = "A:\\";               // started as: tsinst95.exe A:\ <hwnd>
//   LauncherRun run(setup);
//   HWND main;
//   ASSERT_TRUE(WaitForWindow({"Tessaryn 3.0 Installation", "", run.InstallerProcessId()}, main));
//   PostClose(main);
//   ASSERT_TRUE(run.WaitForEnd());
//   EXPECT_EQ(2u, run.Report().FinishedCount());
//
// If the run is still going when the object goes, the installer is ended.
// launcher_standin.exe of this build, as a Windows path.
std::string LauncherStandInPath();

struct LauncherSetup {
    std::string StandIn = LauncherStandInPath();  // Windows paths
    std::string Installer;
    std::string Source;     // the source argument
    // Raw mode: the installer gets exactly these arguments ("{hwnd}" in one
    // becomes the stand-in's window handle in hex); Source is then not used.
    bool Raw = false;
    std::vector<std::string> RawArguments;
    std::string Directory;  // the installer's current directory; empty: the test's own
    std::vector<std::string> Environment;  // NAME=VALUE, set for the installer only
    DWORD GraceMs = 0;  // messages taken after the installer's end: see LauncherStandIn.cpp
    DWORD TimeoutMs = 60000;
};

class LauncherRun {
public:
    explicit LauncherRun(const LauncherSetup& setup);
    ~LauncherRun();
    LauncherRun(const LauncherRun&) = delete;
    LauncherRun& operator=(const LauncherRun&) = delete;

    bool Started() const { return StandIn != nullptr; }
    // The installer's process id, once the stand-in has started it (0 when
    // the stand-in ended without, or after the time, which only bounds a hang).
    DWORD InstallerProcessId(DWORD timeoutMs = kStartLimitMs);
    // The same as a test's step: the failure says what the stand-in reported.
    ::testing::AssertionResult WaitForInstaller(DWORD& pid, DWORD timeoutMs = kStartLimitMs);
    static constexpr DWORD kStartLimitMs = 120000;
    // Waits for the stand-in to end and reads its final report.
    ::testing::AssertionResult WaitForEnd(DWORD timeoutMs = 30000);
    const LauncherReport& Report() const { return Final; }
    DWORD StandInExitCode() const { return ExitCode; }
    // The stand-in's report as it stands now.
    bool ReadReport(LauncherReport& report) const;

private:

    std::unique_ptr<TempFolder> Folder;
    std::string ReportPath;
    HANDLE StandIn = nullptr;
    DWORD InstallerPid = 0;
    LauncherReport Final;
    DWORD ExitCode = STILL_ACTIVE;
};
