#include "front/EngineLibrary.h"
#include "front/FrontWindow.h"
#include "shell/InstallApp.h"
#include "shell/InstallationPoint.h"
#include "shell/LauncherNotification.h"
#include "shell/StartArguments.h"
#include "shell/plain/MessageTable.h"
#include "shell/runtime/Runtime.h"

#include <memory>

namespace {
std::unique_ptr<TMainWindow> MakeFrontWindow()
{
    return std::make_unique<TFrontWindow>(nullptr, MainWindowTitle);
}

// An unattended run (/Q) is the engine's from the start; SETUP.EXE copies the
// engine before it starts one. Without it the run ends with the report's
// number, no box shown.
int RunEngine(int argc, char* argv[])
{
    TEngineLibrary engine;
    const int fault = engine.Load(EnginePath(), false);
    if (fault == 0) return engine.Entry()(argc, argv, nullptr);
    NotifyLauncherOfEnd();
    return fault;
}
}

// Started by SETUP.EXE as: tsinst <source path> <launcher window in hex>, and
// SETUP.EXE /Q adds /Q, SETUP.EXE /A FOLDER adds /A FOLDER (no main window:
// its boxes only).
int AppMain(int argc, char* argv[])
{
    LaunchArguments args = ParseLaunchArguments(argc, argv);
    if (!TakeStartArguments(args)) return 0;
    if (args.Point) {
        const int made = MakeInstallationPoint(args.Source, args.PointFolder);
        NotifyLauncherOfEnd();
        return made;
    }
    if (args.Unattended) return RunEngine(argc, argv);

    int exitCode;
    {
        InstallApp app(&MakeFrontWindow);
        exitCode = app.Run();
    }
    NotifyLauncherOfEnd();
    return exitCode;
}
