// How TSWREMOV.EXE ends after a failure its runtime (shell/runtime) cannot
// return from: what it removed is gone and the record still names the rest,
// so the next removal finishes the work.
#include "shell/runtime/Runtime.h"

#include <windows.h>

void EndAfterRuntimeFailure(RuntimeFailure)
{
    ::ExitProcess(3);
}
