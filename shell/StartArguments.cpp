#include "shell/StartArguments.h"

#include "shell/LauncherNotification.h"
#include "shell/ReportMessage.h"
#include "shell/plain/MessageTable.h"
#include "shell/plain/Settings.h"

bool TakeStartArguments(const LaunchArguments& args)
{
    CopyBounded(ProgramDirectory, sizeof ProgramDirectory, args.ProgramDirectory);
    if (!args.Complete) {
        ReportMessage(nullptr, MsgInstallationError, MsgUseSetup);
        return false;
    }
    SourceDrive[0] = args.SourceDrive[0];
    SourceDrive[1] = '\0';
    LauncherWindow = args.LauncherWindow;
    // A window argument that is not a number names no launcher to tell.
    if (args.HasLauncherWindow) SetLauncherToNotify(args.LauncherWindow);
    return true;
}
