#pragma once
#include <windows.h>

#include "framework/UniqueHandle.h"

#include <string>

// Whether an installed file could be replaced now, without touching it: 0
// when it is a writable disk file nobody holds open, or absent from a folder
// that exists (no subfolder is made for it); otherwise kLzBadOutHandle. A
// read-only, hidden or system file, a folder, a file in use and a name that
// opens something other than a disk file (a device) are refused. `vacant`,
// where given, tells whether nothing is there.
long CheckDestination(const char* path, bool* vacant = nullptr);

// The folder part of a path: up to and including its last separator, or
// empty for a bare name. The file's scratch copy is made there.
std::string FolderOf(const char* path);

// Whether new files can be made in `folder` (ending in a separator): a probe
// file made there and removed at once.
bool AcceptsNewFiles(const std::string& folder);

// A folder's path as a report names it: without its last separator, but for
// a root's.
std::string WithoutTrailingSeparator(std::string folder);

// Whether two folders are one: their full paths (GetFullPathNameA) compared,
// case ignored, so "C:\TSW30\." is "C:\TSW30".
bool IsSameFolder(const std::string& first, const std::string& second);

// The LZ library's form of a file handle, which CopyLZFile writes to.
inline INT LzFileHandle(const TFile& file)
{
    return static_cast<INT>(reinterpret_cast<INT_PTR>(file.Get()));
}
