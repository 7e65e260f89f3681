#pragma once
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "tests/kit/FileBytes.h"

// Folder trees for tests (Windows paths): made, copied, read whole,
// compared, removed.

// directory + "\\" + name, without doubling a trailing backslash.
std::string Join(const std::string& directory, const std::string& name);
bool IsDirectory(const std::string& path);
// Makes the folder and every missing folder above it.
bool MakeDirectories(const std::string& path);
// Names of the files and folders in a folder, sorted.
std::vector<std::string> Names(const std::string& folder);
// Removes a file, or a folder and everything below it (read-only entries
// too); true when it is gone.
bool RemoveTree(const std::string& path);
bool CopyTree(const std::string& from, const std::string& to);

// A tree as relative path -> bytes; a folder, when taken, as "PATH\" -> FolderMark.
using FileMap = std::map<std::string, std::string>;
extern const std::string FolderMark;
enum TreeOptions : unsigned {
    TreeFiles = 0,
    TreeWithFolders = 1,  // folders as entries of their own
    TreeUpperCase = 2,    // names upper-cased, as the installer's lists give them
    TreeTopOnly = 4,      // the folder's own files only
};
// False when a folder or file could not be read; what could be is kept.
bool ReadTree(const std::string& folder, FileMap& tree, unsigned options = TreeFiles);
FileMap TakeTree(const std::string& folder, unsigned options = TreeWithFolders);
// Writes the files (relative paths), making the folder and its subfolders.
bool WriteTree(const std::string& folder, const FileMap& files);
// One line per difference: "missing P", "changed P (N -> M bytes)", "unexpected P".
std::vector<std::string> TreeDifferences(const FileMap& expected, const FileMap& actual);
::testing::AssertionResult SameTree(const FileMap& expected, const FileMap& actual);

// Removes what a test put on a shared disk, however the test ends.
class RemoveOnExit {
public:
    explicit RemoveOnExit(std::string path) : Path(std::move(path)) {}
    ~RemoveOnExit() { RemoveTree(Path); }
    RemoveOnExit(const RemoveOnExit&) = delete;
    RemoveOnExit& operator=(const RemoveOnExit&) = delete;

private:
    std::string Path;
};
