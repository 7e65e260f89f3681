#pragma once
// What a run of SETUP.EXE leaves to look at from outside: its copies of the
// installer in the temporary folder, and the file a process was started from.

#include <windows.h>

#include <set>
#include <string>

// The names of SETUP.EXE's folders (TSW*.TMP) in the temporary folder.
std::set<std::string> SetupTemporaryFolders();

// The full path of the file the process was started from; empty when the
// process cannot be asked.
std::string ProcessImage(DWORD processId);
