#include "shell/UnattendedRun.h"

#include "shell/InstallRecordFile.h"
#include "shell/LauncherNotification.h"

namespace {
bool Unattended = false;
}

bool IsUnattendedRun()
{
    return Unattended;
}

void BeginUnattendedRun()
{
    Unattended = true;
}

void EndUnattendedRun(int exitCode, const char* text)
{
    // No destructor runs past ExitProcess: the log is ended here, at what
    // the box would have said.
    LogReport(exitCode, text, 0);
    EndRunLogAtReport();
    // Nothing is rolled back, as after any report: what was written stays,
    // and a file cut short is one the next run replaces.
    NotifyLauncherOfEnd();
    ::ExitProcess(static_cast<UINT>(exitCode));
}
