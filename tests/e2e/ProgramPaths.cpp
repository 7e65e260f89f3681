#include "tests/e2e/ProgramPaths.h"

const char Installer95UnixPath[] = E2E_TSINST95;
const char InstallerNtUnixPath[] = E2E_TSINSTNT;
const char ShippedDirUnixPath[] = E2E_SHIPPED_DIR;
const char AllocFailureProbeUnixPath[] = E2E_ALLOC_FAILURE_PROBE;
const char InstallerProbeUnixPath[] = E2E_INSTALLER_PROBE;
