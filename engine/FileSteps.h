#pragma once
#include <windows.h>

#include <string>

// The steps by which the installer changes the target's files beyond
// writing their contents: a flush to the disk, a rename, a removal, and a
// write of an update's record. Each goes through here, so that their order
// can be watched from outside: what a power cut after any one of them leaves
// on the disk is what was done up to it.
enum class FileStep { Write, Flush, Move, Delete };

// Told of each step before it is taken: `path` the file, `other` the new
// name of a move or the text of a write (empty otherwise). False makes the
// step fail as the disk can make it fail (a write then takes only part of
// its text). None is set in a run of the installer.
using FileStepWatch = bool (*)(FileStep step, const std::string& path, const std::string& other, void* context);
void WatchFileSteps(FileStepWatch watch, void* context);

bool WriteStep(HANDLE file, const std::string& path, const std::string& text);
bool FlushStep(HANDLE file, const std::string& path);
bool MoveStep(const std::string& from, const std::string& to);
bool DeleteStep(const std::string& path);
// A removal's deletion of an empty folder, watched as a deletion.
bool RemoveFolderStep(const std::string& path);
