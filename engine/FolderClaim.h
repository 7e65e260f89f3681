#pragma once
#include <windows.h>

#include "framework/UniqueHandle.h"

#include <string>

// A run's hold on the folder it installs into: the record of an update's
// renames (ReplacementRecord.h), made with its header alone and held open
// from the run's start to its end. Another installation program meeting it
// there, on this machine or on another over the network (the server keeps
// the share modes of its clients), cannot take it, and touches nothing. A
// cut leaves a record without lines, which the next run removes.
class TFolderClaim {
public:
    TFolderClaim() = default;
    TFolderClaim(const TFolderClaim&) = delete;
    TFolderClaim& operator=(const TFolderClaim&) = delete;
    // The record still held goes with it.
    ~TFolderClaim() { Release(); }

    // Makes the record at `recordPath`, its header written through to the
    // disk. 0; kLzBadOutHandle where it cannot be made (also where it is
    // there: another run's), kLzWrite where its header cannot be written
    // whole (a full disk: nothing is left).
    long Make(const std::string& recordPath);
    bool Holds() const { return Record.IsValid(); }
    // Gives the open record to what writes its lines, which removes it.
    TFile HandOver() { return std::move(Record); }
    // Lets the folder go once the run's work is done: a question left up
    // meanwhile holds nothing, and a cut there leaves nothing to clear.
    void Release();

private:
    TFile Record;
    std::string Path;
};
