#pragma once
#include "engine/plain/ListFile.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Disk 1, and an update set, may say in its root what every list of the set
// expands to: SIZES.LST, one line per file in the order the installer takes
// them, ended by CR LF, "SIZE LIST NAME":
//
//   48213 disk_1.lst TSW.EXE
//   912 disk_2e.lst ITU.TBL
//
// SIZE is the file's expanded length in decimal (at most kMaxExpandedSize),
// LIST the list file that names it (one of the installer's, case ignored),
// NAME its installed name as that list gives it. A line is read as a list
// line is (ListLineReader: 78 characters at most). With it the installer
// knows, before it writes anything, the room a run needs and how far the run
// has come; a disk 1 without it installs as before.
extern const char* const kSizeListName;  // "SIZES.LST"

struct SizedFile {
    int List = 0;  // ListIndex
    std::uint32_t Size = 0;
    std::string Name;
};

struct SetSizes {
    bool Known = false;
    std::vector<SizedFile> Files;

    // The bytes the files of one list expand to.
    std::uint64_t ListTotal(int list) const;
};

// Parses one line as read, with or without its line break. False for any
// other form: a size missing or over kMaxExpandedSize, a list the installer
// does not know, any other separator than one space, a name a list may not
// give (IsSafeInstalledName).
bool ParseSizeLine(char (&line)[kListLineSize], SizedFile& parsed);

// Reads a size list held in memory into `sizes` (Known once read). False
// when a line is not of the form, or names a file of a list twice.
bool ReadSizeList(const char* data, std::size_t size, SetSizes& sizes);

// None where the sizes are not known or name every file of the plan of the
// list `listName`; else BadSizeList, with SIZES.LST as the plan's Refused: a
// file they leave out would count as nothing in the room and the bar.
ListFault CheckSetSizes(const SetSizes& sizes, const char* listName, ListPlan& plan);

// Reads SIZES.LST in the disk root `root` (engine/ListFileLoad.cpp). True
// with sizes.Known where it is read whole, or where there is none (Known
// false); false where it is there but cannot be read or ReadSizeList refuses
// it.
bool ReadSetSizes(const char* root, SetSizes& sizes);
