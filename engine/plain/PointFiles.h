#pragma once
#include <cstddef>

#include "engine/plain/ListFile.h"

// An installation point holds every file and folder of both program disks in
// one tree. A name both disks hold is the same file on both (the builder
// refuses a set where it is not), but for the files whose lines the point
// joins: the checksum list, disk 1's rows and then disk 2's, each row naming
// its file from the root they share.

// Whether a file of a disk's root (its name as found, case ignored) is one
// whose lines of both disks the point joins.
bool IsJoinedPointFile(const char* rootName);
// Whether it is one the point does not take: INSTALL.OPT, the answers a
// person's run left on a disk. A point's answers are its administrator's.
bool IsLeftOutOfPoint(const char* rootName);

// What a checksum list held in memory says `name` (a path from the list's
// folder, case ignored) expands to: Known false where no line names it.
// False where a line before it is not of the form: the list says nothing.
bool FindChecksumLine(const char* data, std::size_t size, const char* name, ExpectedContents& expected);

