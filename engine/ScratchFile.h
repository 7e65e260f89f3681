#pragma once
#include <windows.h>

#include "framework/UniqueHandle.h"

#include <string>

// The new contents of one installed file, written beside it under one of the
// installer's scratch names and given the installed name only once whole: a
// failed expansion leaves the earlier file, or none, never a cut one. Until
// Commit succeeds the scratch file goes with this object.
class TScratchFile {
public:
    TScratchFile() = default;
    TScratchFile(const TScratchFile&) = delete;
    TScratchFile& operator=(const TScratchFile&) = delete;
    ~TScratchFile() { Discard(); }

    // Creates the first scratch name in `folder` (empty, or ending in a
    // separator) that can be created now; one left behind by an interrupted
    // run is reused. 0, or kLzBadOutHandle.
    long Create(const std::string& folder);
    const TFile& File() const { return Handle; }

    // Gives the whole file the release's date (when known) and the installed
    // name, replacing the file of that name. 0, or kLzBadOutHandle when the
    // name cannot be taken (the installed file is in use): the scratch file
    // is then removed.
    long Commit(const char* installed, const FILETIME& released);

    // Closes and removes the scratch file, if there is one.
    void Discard();

private:
    TFile Handle;
    std::string Path;
};
