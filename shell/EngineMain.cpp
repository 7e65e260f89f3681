#include "shell/EngineHandOver.h"
#include "shell/InstallApp.h"
#include "shell/InstallWindow.h"
#include "shell/LauncherNotification.h"
#include "shell/StartArguments.h"
#include "shell/UnattendedRun.h"
#include "shell/plain/MessageTable.h"
#include "shell/plain/Settings.h"

#include <memory>
#include <type_traits>

namespace {
std::unique_ptr<TMainWindow> MakeInstallWindow()
{
    return std::make_unique<TInstallWindow>(nullptr, MainWindowTitle);
}

// The installer's command line as the front got it (front/main.cpp): an
// unattended run, or any run where no front hands a window over.
int RunFromCommandLine(int argc, char* argv[])
{
    LaunchArguments args = ParseLaunchArguments(argc, argv);
    if (!TakeStartArguments(args)) return 0;
    if (args.Unattended) BeginUnattendedRun();

    int exitCode;
    {
        InstallApp app(&MakeInstallWindow);
        exitCode = app.Run();
    }
    NotifyLauncherOfEnd();
    return exitCode;
}

// The front's main window taken over, its command run on, then the window's
// life to its end.
int ContinueFromFront(const EngineHandOver& handOver)
{
    CopyBounded(ProgramDirectory, sizeof ProgramDirectory, handOver.ProgramDirectory);
    SourceDrive[0] = handOver.SourceDrive[0];
    SourceDrive[1] = '\0';
    Settings = handOver.Settings;
    LauncherWindow = handOver.LauncherWindow;
    if (handOver.TellLauncher) SetLauncherToNotify(handOver.LauncherWindow);

    int exitCode;
    {
        InstallApp app;
        auto window = std::make_unique<TInstallWindow>(nullptr, MainWindowTitle, false);
        TInstallWindow& main = *window;
        exitCode = app.RunAdopted(std::move(window), handOver.Window,
                                  [&main, &handOver] { main.ContinueCommand(handOver.Command); });
    }
    NotifyLauncherOfEnd();
    return exitCode;
}
}

extern "C" __declspec(dllexport) int EngineMain(int argc, char* argv[], const EngineHandOver* handOver);
static_assert(std::is_same<decltype(&EngineMain), EngineEntry>::value, "the entry the front calls");

extern "C" __declspec(dllexport) int EngineMain(int argc, char* argv[], const EngineHandOver* handOver)
{
    return handOver ? ContinueFromFront(*handOver) : RunFromCommandLine(argc, argv);
}
