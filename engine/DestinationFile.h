#pragma once
#include <windows.h>

#include "framework/UniqueHandle.h"

// Creates (or replaces) an installed file for the expander: 0 with `file`
// open for writing, or kLzBadOutHandle. The platform's plain open is used
// because the LZ library's own open, when a create fails, tries again under
// the compressed-style name and so would write the file under another name
// (TSW.EX_ beside a TSW.EXE that is in use). Refused: a read-only file, a
// folder, a file in use, anything the platform will not create, and a name
// that opens something other than a disk file (a device).
long CreateDestination(const char* path, TFile& file);

// Whether an installed file could be replaced now, without touching it: 0
// when it is absent or a writable disk file nobody holds open, otherwise
// kLzBadOutHandle.
long CheckDestination(const char* path);

// The LZ library's form of a file handle, which CopyLZFile writes to.
inline INT LzFileHandle(const TFile& file)
{
    return static_cast<INT>(reinterpret_cast<INT_PTR>(file.Get()));
}
