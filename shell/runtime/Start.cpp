// The executables' entry point (the linker is pointed at RuntimeStart): the
// command line from the platform, split as the C start-up splits it, handed
// to AppMain after the static constructors; its result ends the process.
// There are no static destructors to run: the program registers none (it
// links no atexit).
#include "shell/runtime/Runtime.h"

#include "shell/plain/CommandLine.h"

#include <windows.h>

#include <cstddef>

extern "C" [[noreturn]] void RuntimeStart()
{
    RunStaticConstructors();
    const char* line = ::GetCommandLineA();
    std::size_t length = 0;
    while (line[length]) ++length;
    char** argv = new char*[CommandLineArgumentSlots(length)];
    char* text = new char[length + 1];
    int argc = SplitCommandLine(line, argv, text);
    ::ExitProcess(static_cast<UINT>(AppMain(argc, argv)));
}
