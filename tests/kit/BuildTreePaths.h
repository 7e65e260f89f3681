#pragma once
// Where this build tree keeps the helper programs the kit starts, as paths of
// this machine. Only BuildTreePaths.cpp is compiled with them: no other
// file's object depends on where the tree is, so that ccache serves a new
// clone's build.
extern const char DdeStandInUnixPath[];
extern const char LauncherStandInUnixPath[];
extern const char FloppyMountUnixPath[];
