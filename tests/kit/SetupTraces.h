#pragma once
// What a run of SETUP.EXE leaves to look at from outside: its copies of the
// installer in the temporary folder, and the file a process was started from.

#include <windows.h>

#include <set>
#include <string>

// SETUP.EXE's folders (TSW*.TMP) in each place it may make them (the
// temporary folder, the Windows TEMP folder, the Windows drive's root), as
// full paths.
std::set<std::string> SetupTemporaryFolders();

// The Windows folder's TEMP folder in its short form, where SETUP.EXE puts
// its copy when TEMP cannot take it.
std::string WindowsTemporaryFolder();

// Waits until a file is there (the help, which SETUP.EXE adds once the
// installer's main window shows); false when it is not within the time.
bool WaitForFile(const std::string& path, DWORD timeoutMs = 10000);

// The full path of the file the process was started from; empty when the
// process cannot be asked.
std::string ProcessImage(DWORD processId);
