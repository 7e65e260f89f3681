// A program on the installer's own runtime, started as the launcher starts
// the installer, whose first allocation after the arguments asks for more
// memory than there is: what the installer does when an allocation fails.
#include "shell/LauncherNotification.h"
#include "shell/plain/CommandLine.h"
#include "shell/runtime/Runtime.h"

#include <cstddef>
#include <new>

int AppMain(int argc, char* argv[])
{
    LaunchArguments args = ParseLaunchArguments(argc, argv);
    if (args.HasLauncherWindow) SetLauncherToNotify(args.LauncherWindow);
    volatile std::size_t size = static_cast<std::size_t>(-1) / 2;
    ::operator delete(::operator new(size));
    return 0;
}
