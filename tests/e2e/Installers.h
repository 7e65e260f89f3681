#pragma once
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <ostream>
#include <set>
#include <string>

#include "tests/kit/FloppyDrive.h"
#include "tests/kit/LauncherRun.h"
#include "tests/kit/ReportedWindows.h"
#include "tests/kit/SetupTraces.h"
#include "tests/kit/TempFolder.h"

// The two builds of the installer, as the e2e tests start them.
struct InstallerBuild {
    const char* Name;  // "95", "NT" or "NT351"
    bool Nt;
    // The Windows version Wine reports to it ("win95", "nt40", "nt351"):
    // each build runs told its own system.
    const char* System;
    const char* FileName() const { return Nt ? "TSINSTNT.EXE" : "TSINST95.EXE"; }
    // The executable of the tests' own build tree (PE32+), beside install.emf
    // and the removal program, as a Windows path.
    std::string Path() const;
};

// A file of the shipped PE32 build tree (the i686 one), as a Windows path:
// what SETUP.EXE expands from the disk images.
std::string ShippedFile(const std::string& name);

extern const InstallerBuild Build95;
extern const InstallerBuild BuildNt;
// The NT build on NT 3.51, where its start-up loads the 3-D controls library.
extern const InstallerBuild BuildNt351;

inline std::ostream& operator<<(std::ostream& out, const InstallerBuild& build)
{
    return out << build.Name;
}
inline std::string BuildName(const ::testing::TestParamInfo<InstallerBuild>& info)
{
    return info.param.Name;
}

constexpr const char* MainWindowTitle = "Tessaryn 3.0 Installation";
constexpr int ExitCommand = 24310;  // the menu's "&Close"

// Waits for the installer the run started, then for its main window.
::testing::AssertionResult WaitForInstallerWindow(LauncherRun& run, HWND& main);

// The installer started by the launcher stand-in with a source and the
// stand-in's window handle, up to its main window.
class InstallerSession {
public:
    InstallerSession(const std::string& installer, const std::string& source);

    // Waits for the main window of the installer's process.
    ::testing::AssertionResult WaitForMainWindow();
    HWND MainWindow() const { return Main; }
    DWORD ProcessId() { return Run.InstallerProcessId(); }
    // Closes the main window and waits for the launcher to see the end.
    ::testing::AssertionResult CloseByCommand();
    ::testing::AssertionResult CloseByWindowClose();
    ::testing::AssertionResult WaitForEnd() { return Run.WaitForEnd(); }
    const LauncherReport& Report() const { return Run.Report(); }

private:
    LauncherSetup Setup(const std::string& installer, const std::string& source);

    LauncherRun Run;
    HWND Main = nullptr;
};

// Why this machine cannot start the shipped PE32 executables
// (tests/test_data.sh finds out), or empty when it can.
std::string ShippedExecutablesUnavailable();

// A test that starts one build of the installer. Where the shipped
// executables cannot start here, it reports itself skipped with the reason.
class ShippedInstallerTest : public ::testing::TestWithParam<InstallerBuild> {
protected:
    void SetUp() override;

    // Wine tells the build its system while the test runs (the prefix tells
    // Windows 95 to the 95 build and NT 4.0 to the NT build, tools/wine-env.sh).
    std::unique_ptr<ReportedWindows> System;

    const InstallerBuild& Build() const { return GetParam(); }
    // The finishing notifications each build posts: two handle forms for
    // the Windows 95 build, one for the NT build.
    std::size_t NotificationsPosted() const { return Build().Nt ? 1u : 2u; }
};

// A test of one build with a fresh, empty disk in floppy drive A: (the
// installer reads and writes INSTALL.OPT there).
class InstallerTest : public ShippedInstallerTest {
protected:
    void SetUp() override
    {
        ShippedInstallerTest::SetUp();
        if (IsSkipped()) return;
        ASSERT_TRUE(Floppy.Available()) << Floppy.LastError();
        ASSERT_TRUE(Floppy.Insert(Disk.Path())) << Floppy.LastError();
    }

    TempFolder Disk{"e2e-disk"};
    FloppyDrive Floppy;
};
