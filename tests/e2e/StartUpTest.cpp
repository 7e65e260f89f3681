// Start-up through the launcher stand-in: the command line, the main window,
// and the finishing notification when it closes.
#include "tests/e2e/Installers.h"
#include "tests/e2e/ProgramPaths.h"

#include "tests/e2e/FlowFixture.h"
#include "tests/kit/BoxWatcher.h"
#include "tests/kit/GuiDriver.h"
#include "tests/kit/UnixBridge.h"
#include "tests/kit/WindowFinder.h"

#define PSAPI_VERSION 2  // EnumProcessModulesEx, LIST_MODULES_ALL
#include <psapi.h>

#include <algorithm>

namespace {
using StartUp = InstallerTest;

// The upper-cased names of the modules another process has loaded.
std::vector<std::string> ModulesOf(DWORD processId)
{
    std::vector<std::string> names;
    HANDLE process = ::OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, processId);
    if (!process) return names;
    HMODULE modules[512];
    DWORD needed = 0;
    if (::EnumProcessModulesEx(process, modules, sizeof modules, &needed, LIST_MODULES_ALL)) {
        for (DWORD i = 0; i < needed / sizeof(HMODULE) && i < 512; ++i) {
            char name[MAX_PATH] = {};
            ::GetModuleBaseNameA(process, modules[i], name, sizeof name);
            names.push_back(flow::Upper(name));
        }
    }
    ::CloseHandle(process);
    return names;
}

// Started without the launcher's arguments: one box saying how to start it,
// no window, no notification, exit code 0.
void ExpectOnlyTheSetupBox(const InstallerBuild& build, const std::vector<std::string>& arguments)
{
    WindowRecorder recorder;
    LauncherSetup setup;
    setup.Installer = build.Path();
    setup.Raw = true;
    setup.RawArguments = arguments;
    LauncherRun run(setup);
    DWORD pid = run.InstallerProcessId();
    ASSERT_NE(0u, pid) << "the launcher stand-in did not start " << setup.Installer;

    HWND box;
    ASSERT_TRUE(WaitForWindow(BoxTitled("Installation Error", pid), box));
    // Seen by the recorder before it goes, however quickly it goes.
    recorder.Poll();
    EXPECT_EQ("Install Tessaryn with SETUP.EXE", MessageBoxText(box));
    PressButton(box, IDOK);
    ASSERT_TRUE(run.WaitForEnd());
    recorder.Poll();

    EXPECT_EQ(0u, run.Report().InstallerExitCode);
    EXPECT_EQ(0u, run.Report().FinishedCount());
    std::vector<WindowInfo> shown;
    for (const WindowInfo& window : recorder.Seen())
        if (window.ProcessId == pid) shown.push_back(window);
    ASSERT_EQ(1u, shown.size()) << "the installer's windows:\n" << DescribeWindows(shown);
    EXPECT_EQ(box, shown[0].Handle);
}
}

TEST_P(StartUp, WithoutArgumentsOnlyTellsToUseSetup)
{
    ExpectOnlyTheSetupBox(Build(), {});
}

TEST_P(StartUp, WithOnlyTheSourcePathOnlyTellsToUseSetup)
{
    ExpectOnlyTheSetupBox(Build(), {"A:\\"});
}

// Before Windows 4.0 the start-up gives the dialogs their 3-D look from the
// platform's 3-D controls library; from 4.0 on the platform draws it itself.
TEST_P(StartUp, MainWindowOpensWithItsControlsLookAndItsCloseCommandNotifiesTheLauncher)
{
    InstallerSession session(Build().Path(), "A:\\");
    ASSERT_TRUE(session.WaitForMainWindow());
    EXPECT_TRUE(::IsWindowVisible(session.MainWindow()));
    EXPECT_EQ(MainWindowTitle, WindowText(session.MainWindow()));
    std::vector<std::string> modules = ModulesOf(session.ProcessId());
    ASSERT_NE(modules.end(), std::find(modules.begin(), modules.end(), Build().FileName()))
        << "the installer's modules cannot be listed";
    const bool loaded = std::find(modules.begin(), modules.end(), "CTL3D32.DLL") != modules.end();
    EXPECT_EQ(std::string(Build().System) == "nt351", loaded);

    ASSERT_TRUE(session.CloseByCommand());
    const LauncherReport& report = session.Report();
    EXPECT_EQ(0u, report.InstallerExitCode);
    // Wine's window handles have more than four hex digits; the installer
    // keeps the low 16 bits, and both handle forms reach the same window.
    EXPECT_GT(report.LauncherWindow.size(), 4u) << report.LauncherWindow;
    ASSERT_EQ(NotificationsPosted(), report.FinishedCount()) << report.CommandLine;
    for (const auto& params : report.FinishedParameters) {
        EXPECT_EQ(0u, params.first);
        EXPECT_EQ(0, params.second);
    }
}

TEST_P(StartUp, WindowArgumentThatIsNotHexadecimalGetsNoNotification)
{
    LauncherSetup setup;
    setup.Installer = Build().Path();
    setup.Raw = true;
    // A parser that skipped what is not a digit would find the launcher.
    setup.RawArguments = {"A:\\", "#{hwnd}"};
    LauncherRun run(setup);
    HWND main;
    ASSERT_TRUE(WaitForInstallerWindow(run, main));
    PostCommand(main, ExitCommand);
    ASSERT_TRUE(run.WaitForEnd());
    EXPECT_EQ(0u, run.Report().InstallerExitCode);
    EXPECT_EQ(0u, run.Report().FinishedCount());
}

TEST_P(StartUp, FourthArgumentHasNoEffect)
{
    LauncherSetup setup;
    setup.Installer = Build().Path();
    setup.Raw = true;
    setup.RawArguments = {"A:\\", "{hwnd}", "0"};
    LauncherRun run(setup);
    HWND main;
    ASSERT_TRUE(WaitForInstallerWindow(run, main));
    PostCommand(main, ExitCommand);
    ASSERT_TRUE(run.WaitForEnd());
    EXPECT_EQ(NotificationsPosted(), run.Report().FinishedCount()) << run.Report().CommandLine;
}

// Each build told its own system; the NT build also on NT 3.51.
INSTANTIATE_TEST_SUITE_P(Builds, StartUp, ::testing::Values(Build95, BuildNt, BuildNt351), BuildName);

// The Windows 95 build has a system menu: its close box closes the window too.
using StartUp95 = InstallerTest;
TEST_P(StartUp95, ClosingByTheCloseBoxNotifiesTheLauncherTwice)
{
    InstallerSession session(Build().Path(), "A:\\");
    ASSERT_TRUE(session.WaitForMainWindow());
    ASSERT_TRUE(session.CloseByWindowClose());
    EXPECT_EQ(0u, session.Report().InstallerExitCode);
    EXPECT_EQ(2u, session.Report().FinishedCount());
}

// A failed allocation cannot unwind: the program says so (message 18), tells
// the launcher as its normal end does and ends with exit code 3. Seen on a
// PE32 program of the installer's runtime and Windows 95 build that asks for
// more memory than there is.
TEST_P(StartUp95, FailedAllocationIsReportedAndTheLauncherNotified)
{
    LauncherSetup setup;
    setup.Installer = ToWindowsPath(AllocFailureProbeUnixPath);
    setup.Source = "A:\\";
    LauncherRun run(setup);
    DWORD pid = run.InstallerProcessId();
    ASSERT_NE(0u, pid) << "the launcher stand-in did not start " << setup.Installer;
    HWND box;
    ASSERT_TRUE(WaitForWindow(BoxTitled("Installation Error", pid), box));
    EXPECT_EQ("Insufficient Memory", MessageBoxText(box));
    PressButton(box, IDOK);
    ASSERT_TRUE(run.WaitForEnd());
    EXPECT_EQ(3u, run.Report().InstallerExitCode);
    EXPECT_EQ(2u, run.Report().FinishedCount());
}

INSTANTIATE_TEST_SUITE_P(Builds, StartUp95, ::testing::Values(Build95), BuildName);
