#pragma once
#include <windows.h>

#include "engine/plain/ListFile.h"

#include <string>

// Whether the file installed at `path` already holds what its disk says the
// file expands to (`expected`, where the disk says it): a disk file under
// exactly that name, its case too, neither read-only, hidden nor system,
// whose size and CRC-32 are those. It is read where other programs hold it
// open, also for writing. `written` receives its last-write time.
bool IsAlreadyWhole(const std::string& path, const ExpectedContents& expected, FILETIME& written);

// Gives a file left as it was the date of its compressed file `source`, as
// an expansion would, where it has another (`written`). The source's date is
// read from its folder, not from the file: a source that cannot be found,
// and a file that cannot be opened for it (in use), leave the date as it is.
void DateAsReleased(const std::string& path, const FILETIME& written, const std::string& source);
