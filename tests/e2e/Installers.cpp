#include "tests/e2e/Installers.h"

#include "tests/e2e/FlowFixture.h"
#include "tests/e2e/ProgramPaths.h"
#include "tests/kit/FileBytes.h"
#include "tests/kit/GuiDriver.h"
#include "tests/kit/UnixBridge.h"
#include "tests/kit/WindowFinder.h"

const InstallerBuild Build95 = {"95", false, "win95"};
const InstallerBuild BuildNt = {"NT", true, "nt40"};
const InstallerBuild BuildNt351 = {"NT351", true, "nt351"};

std::string InstallerBuild::Path() const
{
    return ToWindowsPath(Nt ? InstallerNtUnixPath : Installer95UnixPath);
}

std::string ShippedFile(const std::string& name)
{
    return ToWindowsPath(std::string(ShippedDirUnixPath) + "/" + name);
}

std::string ShippedExecutablesUnavailable()
{
    bool found = false;
    std::string why = ReadBytes(flow::DataFolder("pe32.unavailable"), &found);
    if (!found) return std::string();
    return why.empty() ? std::string("no reason given") : why;
}

void ShippedInstallerTest::SetUp()
{
    std::string why = ShippedExecutablesUnavailable();
    if (!why.empty()) GTEST_SKIP() << "32-bit programs cannot start on this machine: " << why;
    System = std::make_unique<ReportedWindows>(Build().FileName(), Build().System);
    ASSERT_TRUE(System->Set()) << "cannot tell " << Build().FileName() << " its system: registry error "
                               << System->Error();
}

LauncherSetup InstallerSession::Setup(const std::string& installer, const std::string& source)
{
    LauncherSetup setup;
    setup.Installer = installer;
    setup.Source = source;
    return setup;
}

InstallerSession::InstallerSession(const std::string& installer, const std::string& source)
    : Run(Setup(installer, source))
{
}

::testing::AssertionResult WaitForInstallerWindow(LauncherRun& run, HWND& main)
{
    DWORD pid = 0;
    ::testing::AssertionResult started = run.WaitForInstaller(pid);
    if (!started) return started;
    return WaitForWindow({MainWindowTitle, "", pid}, main, LauncherRun::kStartLimitMs);
}

::testing::AssertionResult InstallerSession::WaitForMainWindow()
{
    return WaitForInstallerWindow(Run, Main);
}

::testing::AssertionResult InstallerSession::CloseByCommand()
{
    PostCommand(Main, ExitCommand);
    return Run.WaitForEnd();
}

::testing::AssertionResult InstallerSession::CloseByWindowClose()
{
    PostClose(Main);
    return Run.WaitForEnd();
}
