#pragma once
// Where SETUP.EXE puts the installer it expands from disk 1: a folder on a
// hard disk. Never the floppy, which the installer asks to be taken out, nor
// another removable disk: a program is paged in from its file, and NT 3.51
// does not honour the run-from-swap flag. The Windows side probes the
// folders; what each probe means is decided here.
#include <cstddef>
#include <cstdint>

#include "shell/plain/PathHelpers.h"

// The folders tried, in this order: TEMP as the platform gives it, the TEMP
// folder in the Windows folder, the root of the Windows drive.
constexpr std::size_t kCopyPlaceCount = 3;
using CopyPlaceFolders = char[kCopyPlaceCount][kPathSize];
// Fills `folders` from GetTempPath's and GetWindowsDirectory's answers (an
// empty one where the platform gave none).
void ListCopyPlaces(const char* temporary, const char* windows, CopyPlaceFolders& folders);

// What the platform said of one of them.
struct CopyPlaceProbe {
    const char* Folder = "";         // its short form, as the copy would name it
    bool Exists = false;             // a folder is there
    bool HardDisk = false;           // a fixed, network or RAM disk drive
    bool FreeKnown = false;          // GetDiskFreeSpace answered
    std::uint64_t FreeBytes = 0;
    std::uint32_t ClusterBytes = 0;  // the unit a file takes room in
};

// What the copy takes: the expanded lengths, and the files, each of which
// may take up to a cluster more.
struct CopyNeed {
    std::uint64_t Bytes = 0;
    std::uint32_t Files = 0;
};

enum class CopyPlaceFault {
    None,          // can take the copy
    Missing,       // no such folder
    NotHardDisk,   // a floppy, another removable disk, a CD-ROM
    TooLittleRoom,
    PathTooLong,   // the help file's path would pass what the help viewers read
    CopyFailed,    // writing there failed (set by the Windows side)
    SameAsEarlier, // the same folder as one tried before it
};

// The first place from `from` on that can take the copy, or `count` when
// none can; each one passed over gets its fault in `faults`.
std::size_t NextCopyPlace(const CopyPlaceProbe* places, std::size_t count, std::size_t from, const CopyNeed& need,
                          CopyPlaceFault* faults);

// The box shown when no place could take the copy: what could not be
// written where, and how to go on. Cut to fit `size`.
void NoCopyPlaceText(const CopyPlaceProbe* places, const CopyPlaceFault* faults, std::size_t count,
                     const CopyNeed& need, char* text, std::size_t size);
