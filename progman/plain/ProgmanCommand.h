#pragma once
#include <string>
#include <vector>

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

// One command of the group, sent in a transaction of its own: Program
// Manager carries out nothing after a command it refuses within one execute
// string, so each is sent and checked alone.
struct GroupCommand {
    std::string Title;    // the item's name; the group's for its own command
    std::string Command;  // empty where it cannot be expressed safely
};

// The group's commands: the group itself, one item per program (at most six,
// in order), then the "Revisions" item opening tsw.txt in Notepad. A program
// whose path or title cannot be expressed safely, or the Revisions item whose
// command line cannot be, has no command. Program Manager splits a command
// line at its first space, so a path with a space stands in its short form
// where `shortForm` gives one.
std::vector<GroupCommand> GroupCommands(const char* targetDirectory, const ProgramItem* items, int itemCount,
                                        const char* windowsDirectory, ShortPathFunction shortForm = nullptr);

// Those commands in one string, the ones that can be expressed.
std::string BuildGroupCommands(const char* targetDirectory, const ProgramItem* items, int itemCount,
                               const char* windowsDirectory, ShortPathFunction shortForm = nullptr);

// The group's item that starts the removal program TSWREMOV.EXE in the
// target folder, "Remove Tessaryn 3.0"; empty where it cannot be expressed.
std::string RemovalItemCommand(const char* targetDirectory, ShortPathFunction shortForm = nullptr);

// The notice for a group Program Manager did not make whole: `groupMade`
// whether it confirmed the group itself, `missingItems` the names of the
// items it did not confirm (refused, not answered within the time-out, or
// never sent), in order. Where the removal item is among them,
// `removalProgram` is named as the way to remove Tessaryn. Empty where
// nothing is missing.
std::string GroupShortfallNotice(bool groupMade, const std::vector<std::string>& missingItems,
                                 const std::string& removalProgram);

extern const char* const ProgramGroupName;  // "Tessaryn 3.0"
