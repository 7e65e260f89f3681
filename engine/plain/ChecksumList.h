#pragma once
#include "engine/plain/ListFile.h"

#include <cstddef>
#include <cstdint>
#include <string>

// A disk may say, in its root, what each compressed file on it expands to:
// CHECKSUM.LST, one line per file, ended by CR LF, "CRC32 SIZE NAME":
//
//   0A1B2C3D 48213 TSW.EX_
//   9F00E417 912 LOOKUP\ITU.LU_
//
// CRC32 is eight hexadecimal digits, the CRC-32 of ZIP and zlib of the
// expanded bytes (Crc32.h); SIZE their number in decimal; NAME the
// compressed file's path from the disk's root, case ignored. A line is read
// as a list line is (ListLineReader: 78 characters at most). Each file is
// checked against it once expanded; a disk without it is installed
// unchecked.
extern const char* const kChecksumListName;  // "CHECKSUM.LST"

// The expander's length can be no more.
constexpr std::uint32_t kMaxExpandedSize = 0x7FFFFFFF;

struct ChecksumLine {
    std::uint32_t Crc = 0;
    std::uint32_t Size = 0;
    const char* Name = nullptr;  // in the line parsed
};

// Parses one line as read, with or without its line break. False for any
// other form: not eight hexadecimal digits, a field missing, any other
// separator than one space, a size over kMaxExpandedSize, a name that is no
// file of the disk (IsSafeInstalledName).
bool ParseChecksumLine(char (&line)[kListLineSize], ChecksumLine& parsed);

// Gives each file of `plan` the contents a checksum list held in memory says
// it expands to. `folderOnDisk` is where the plan's source folder lies on
// its disk: empty (the root) or ending in a separator. Lines of the disk's
// other files are checked and passed over. False when a line is not of the
// form, or a file of the plan is named by none or by two.
bool ApplyChecksumList(const char* data, std::size_t size, const char* folderOnDisk, ListPlan& plan);

// Reads the checksum list in `diskRoot`, the root of the disk the plan's
// source folder is on (or that folder itself), into the plan. None where
// there is none; BadChecksumList, with its name in plan.Refused, where it
// cannot be read whole or ApplyChecksumList refuses it. It reads the disk
// (engine/ListFileLoad.cpp); ApplyDiskChecksums is the rest of it, given
// the root (ending in a separator) and what LoadListFile made of its list.
ListFault ReadDiskChecksums(const char* diskRoot, ListPlan& plan);
ListFault ApplyDiskChecksums(const std::string& root, ListLoadResult loaded, const std::vector<char>& contents,
                             ListPlan& plan);
