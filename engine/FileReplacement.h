#pragma once
#include <windows.h>

#include "engine/plain/ReplacementRecord.h"
#include "framework/UniqueHandle.h"

#include <string>

// The next numbered scratch path in `folder` (empty, or ending in a
// separator) from `next` on that no file has yet; `next` moves past it.
// False when every number is taken.
bool FreeScratchPath(const std::string& folder, int& next, std::string& path);

// Makes a numbered scratch file in `folder`, open for writing and reading back: the first name
// from `next` on that does not exist yet, so a file of that name, the
// installer's or anybody's, is never opened. `next` moves past the name
// taken. 0; kLzBadOutHandle when none can be made (a full or write-protected
// disk, no such folder); kNoScratchName when every name is taken.
long CreateScratchFile(const std::string& folder, int& next, std::string& path, TFile& file);

// Makes a file of the installer's own, which must not exist yet, open for
// writing and reading back, shared with nobody.
HANDLE CreateNewFile(const std::string& path);

// Whether a path names nothing, or a file (not a folder): what a scratch path
// must be before anything is moved to or from it.
bool IsFileOrNothing(const std::string& path);

// Whether a path names a file that is there and empty (a placeholder or a
// probe of the installer's that a cut left behind).
bool IsEmptyFile(const std::string& path);

// The three full paths of one file that is replaced whole.
using ReplacementPaths = Replacement;

enum class PlaceResult {
    Placed,    // the new file has the installed name; the earlier one, if any, is at Aside
    Refused,   // the new file could not take the name; the earlier one is back under it
    Stranded,  // neither could: the new file is still at Fresh, the earlier one at Aside
};

// Gives the whole new file at Fresh the installed name. An earlier file of
// that name is first checked again as the expansion checked it (a program
// may have opened it since), then moves to Aside (a placeholder of the
// installer's, which it replaces) and stays there, to be removed once the
// new file is in place, or moved back. `hadFile` says whether there was one.
PlaceResult PutInPlace(const ReplacementPaths& file, bool& hadFile);

// Undoes a PutInPlace that placed the file: the new file back to Fresh and
// the earlier one, if there was one, back to its name. False when a move is
// refused.
bool TakeBack(const ReplacementPaths& file, bool hadFile);

// Makes the directory entry of a file that has just taken its name durable:
// both systems write directory and FAT sectors back in their cache's order,
// so the sector that frees an earlier file's clusters could reach the disk
// before the one holding its replacement's name. Flushing a file opened by
// that name writes its entry on both. False where it cannot be opened or
// flushed: the earlier file must then stay.
bool FlushName(const std::string& path);

// What a report says of a file stranded between its two names: the installed
// name, and the scratch names that hold the new and the earlier file
// ("TSW.EXE: new ~TSW0000.TMP, old ~TSW0001.TMP").
std::string StrandedDetail(const ReplacementPaths& file);
