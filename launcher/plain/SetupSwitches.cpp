#include "launcher/plain/SetupSwitches.h"

#include "shell/plain/CommandLine.h"

SetupRequest ReadSetupSwitches(int argc, char* argv[])
{
    SetupRequest request;
    if (argc < 2) return request;
    if (EqualsIgnoringCase(argv[1], kUnattendedArgument)) request.Mode = SetupMode::Unattended;
    if (EqualsIgnoringCase(argv[1], "/A")) {
        request.Mode = SetupMode::InstallationPoint;
        if (argc > 2 && argv[2][0]) request.Folder = argv[2];
    }
    return request;
}
