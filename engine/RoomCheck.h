#pragma once
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

// One file a run is about to write: its installed path and what it expands to.
struct PlannedWrite {
    std::string Installed;
    std::uint32_t Size = 0;
};

// Whether a run into `target` may begin on the room its drive has, before
// anything is written there: the room the files need, each rounded up to the
// drive's cluster (an installation file by file, less the earlier files they
// replace; an update, `allTogether`, every new file beside the earlier ones
// and its record), against the drive's free room (GetDiskFreeSpaceA). Too
// little: "Insufficient Disk Space" under `title` with what is needed and
// what is free, and Abort (false), Retry (after the person frees room) or
// Ignore (true: a compressed drive's free room is an estimate). A drive that
// does not answer is not checked, nor a CD-ROM (which has no free room: it
// cannot be written); any other drive without free room is full.
bool RoomAllowsRun(HWND owner, int title, const char* target, const std::vector<PlannedWrite>& files,
                   bool allTogether);
