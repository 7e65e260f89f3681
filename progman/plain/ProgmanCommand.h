#pragma once
#include <string>

#include "shell/plain/ProgramSlots.h"

// One program item captured from the disk lists.
struct ProgramItem {
    const char* File;   // installed name, relative to the target directory
    const char* Title;
};

// Whether text may stand as a Program Manager command argument at all: a
// double quote can neither stand bare nor be quoted.
bool IsProgmanSafe(const char* text);

// The argument as Program Manager must see it: unchanged when it holds none of
// the characters its command syntax gives a meaning (",", "(", ")", "[", "]"),
// otherwise in double quotes.
std::string ProgmanArgument(const std::string& text);

// The platform's short form of an existing path; empty when it has none.
using ShortPathFunction = std::string (*)(const std::string& path);

// The whole execute string for the group: the group command, one item per
// program (at most six, in order), then the "Revisions" item opening tsw.txt
// in Notepad. A program whose path or title cannot be expressed safely is left
// out; so is the Revisions item when its command line cannot be. Program
// Manager splits a command line at its first space, so a path with a space
// stands in its short form where `shortForm` gives one.
std::string BuildGroupCommands(const char* targetDirectory, const ProgramItem* items, int itemCount,
                               const char* windowsDirectory, ShortPathFunction shortForm = nullptr);

// The group's item that starts the removal program TSWREMOV.EXE in the
// target folder, "Remove Tessaryn 3.0"; empty where it cannot be expressed.
std::string RemovalItemCommand(const char* targetDirectory, ShortPathFunction shortForm = nullptr);

extern const char* const ProgramGroupName;  // "Tessaryn 3.0"
