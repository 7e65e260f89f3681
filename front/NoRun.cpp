// The front runs no installation: no run of its is unattended, and none
// has a log for its reports (shell/ReportMessage.cpp asks both). The
// engine's own definitions are in shell/UnattendedRun.cpp and
// engine/InstallRecordFile.cpp.
#include "shell/InstallRecordFile.h"
#include "shell/UnattendedRun.h"

bool IsUnattendedRun()
{
    return false;
}

void EndUnattendedRun(int exitCode, const char*)
{
    ::ExitProcess(static_cast<UINT>(exitCode));
}

void LogReport(int, const char*, int)
{
}
