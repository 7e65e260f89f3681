// The engine library's entry point (the linker is pointed at DllStart): the
// static constructors as the library is loaded, nothing else. It is unloaded
// only with its process, which runs no static destructors (Start.cpp).
#include "shell/runtime/Runtime.h"

#include <windows.h>

extern "C" BOOL WINAPI DllStart(HINSTANCE, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH) RunStaticConstructors();
    return TRUE;
}
