#pragma once
// Where the build trees keep the programs under test, as paths of this
// machine. Only ProgramPaths.cpp is compiled with them: no other file's
// object depends on where the trees are, so that ccache serves a new clone's
// build.
extern const char Installer95UnixPath[];
extern const char InstallerNtUnixPath[];
extern const char ShippedDirUnixPath[];  // the i686 tree
extern const char AllocFailureProbeUnixPath[];
extern const char InstallerProbeUnixPath[];
