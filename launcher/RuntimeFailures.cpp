// How SETUP.EXE ends after a failure its runtime (shell/runtime) cannot
// return from: it allocates only while it splits its command line, before
// anything is copied or started, so there is nothing to undo.
#include "shell/runtime/Runtime.h"

#include <windows.h>

void EndAfterRuntimeFailure(RuntimeFailure)
{
    ::ExitProcess(3);
}
