#pragma once
#include "shell/plain/CommandLine.h"

// Keeps what the launcher's command line tells every run (the program's
// folder, the source drive, the launcher to tell at the end). A command line
// without the source and the window gets its report: false, and the run ends.
bool TakeStartArguments(const LaunchArguments& args);
