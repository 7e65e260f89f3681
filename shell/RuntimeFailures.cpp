// How the installer ends after a failure its runtime cannot return from
// (shell/runtime): lack of memory gets its report, message 18; then, as at
// the normal end, the launcher is told, and the process ends with exit code 3.
#include "shell/runtime/Runtime.h"

#include "shell/LauncherNotification.h"
#include "shell/ReportMessage.h"
#include "shell/plain/MessageTable.h"

namespace {
constexpr UINT ExitCodeRuntimeFailure = 3;
}

void EndAfterRuntimeFailure(RuntimeFailure failure)
{
    // The box dispatches messages: a failure in one of them ends the
    // process without a second box.
    static bool reporting = false;
    if (!reporting && failure == RuntimeFailure::OutOfMemory) {
        reporting = true;
        ReportMessage(::GetActiveWindow(), MsgInstallationError, MsgInsufficientMemory);
    }
    NotifyLauncherOfEnd();
    ::ExitProcess(ExitCodeRuntimeFailure);
}
