#pragma once

// Has the file `path` deleted when the system next starts (a running program
// cannot delete its own file), and `folder` (unless null) after it, where the
// system can remove a folder then. False when the system cannot be told.
// Running the removal from a copy in a temporary folder instead, as SETUP.EXE
// runs the installer, would leave that copy behind with nothing to delete it,
// and whoever started the removal would see the starter's exit code, not the
// removal's.
bool DeleteAtNextStart(const char* path, const char* folder);
