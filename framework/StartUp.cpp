#include "framework/Application.h"

#include <cstdlib>

// The framework's start-up: hands the runtime's split command line to the
// program's AppMain.
int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    return AppMain(__argc, __argv);
}
