#include "tests/kit/BuildTreePaths.h"

const char DdeStandInUnixPath[] = TSTESTKIT_DDE_STANDIN;
const char LauncherStandInUnixPath[] = TSTESTKIT_LAUNCHER_STANDIN;
const char FloppyMountUnixPath[] = TSTESTKIT_FLOPPY_MOUNT;
