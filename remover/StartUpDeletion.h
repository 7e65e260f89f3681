#pragma once

// Has the file `path` deleted when the system next starts (a running program
// cannot delete its own file), and `folder` (unless null) after it, where the
// system can remove a folder then. False when the system cannot be told.
bool DeleteAtNextStart(const char* path, const char* folder);
