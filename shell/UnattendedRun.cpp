#include "shell/UnattendedRun.h"

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

void EndUnattendedRun(int exitCode, const char*)
{
    // Nothing is rolled back, as after any report: what was written stays,
    // and a file cut short is one the next run replaces.
    NotifyLauncherOfEnd();
    ::ExitProcess(static_cast<UINT>(exitCode));
}
