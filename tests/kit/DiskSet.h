#pragma once
// Source disks written by the tests: files in the platform's compressed
// format, list files, and small disk sets of two program disks.
#include <cstddef>
#include <string>
#include <vector>

#include "tests/kit/FileTree.h"

using Lines = std::vector<std::string>;

// Deterministic bytes of every value, for binary test files.
std::string SampleBytes(std::size_t size, unsigned seed);

// The image of a file in the platform's compressed format (SZDD), written
// with literals only: what any LZ expander must turn back into `data`.
std::string Compress(const std::string& data);
// "TSW.EXE" -> "TSW.EX_".
std::string CompressedFileName(const std::string& installed);
// Writes `data` compressed into `directory` under the compressed name.
bool WriteCompressed(const std::string& directory, const std::string& installed, const std::string& data);
// A list file from its lines, each ended by CR LF.
std::string ListText(const std::vector<std::string>& lines);

// The disk prompt's title, and the prompts of the two program disks in drive
// A as a transcript shows them.
extern const char* const NewDiskTitle;
extern const std::string PromptDisk1;
extern const std::string PromptDisk2;
// The target's subdirectories, and the list files of a run of every
// component in the order they are read.
extern const Lines Subdirectories;
extern const Lines AllLists;

// Small disk sets, one version at a time: every file's bytes depend on the
// version, so a file of one version never passes for the same file of another.
struct SetFile {
    int Disk;            // 1 or 2
    std::string Folder;  // empty: the disk's root and the target itself; else a subdirectory of both
    std::string Name;    // the installed name
    std::string Title;   // a program item title, or empty
    std::size_t Size;
};

// One file of each list.
extern const std::vector<SetFile> StandardFiles;

// The list that names a file of this disk and folder.
const char* ListFor(int disk, const std::string& folder);
std::string InstalledPath(const SetFile& file);

struct DiskSet {
    std::string Disk1;
    std::string Disk2;
    FileMap Installed;  // what a complete run installs, by path under the target

    // Where the compressed form of an installed path lies on its disk.
    std::string CompressedPath(const std::string& installed, int disk) const;
    // The tree a complete run of every component leaves in an empty target.
    FileMap Complete() const;
};

// Writes the files compressed, with their lists, into folder\disk1 and folder\disk2.
DiskSet MakeDiskSet(const std::string& folder, int version, const std::vector<SetFile>& files);
