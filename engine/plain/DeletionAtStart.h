#pragma once
// What the system deletes when it next starts: the lines of WININIT.INI's
// [rename] section that give a file to NUL (Windows 95, by short names) and
// the pairs of PendingFileRenameOperations whose second name is empty (NT,
// as MoveFileExA with MOVEFILE_DELAY_UNTIL_REBOOT writes them). Either is
// carried out by path, whatever is there then: the removal program gives
// its own file to it, and an installation that puts that file there again
// takes the deletion back.
#include <cstddef>

// WININIT.INI's text (`size` bytes) with "NUL=<shortPath>" in its [rename]
// section, which is added at the end when there is none. The profile
// functions would replace another program's NUL= line, so the line is added
// by hand; the text is unchanged when the line is there already. Written to
// `out`, which holds size + kWininitGrowth bytes; returns its length.
constexpr std::size_t kWininitGrowth = 300;
std::size_t WithDeletionAtStart(const char* text, std::size_t size, const char* shortPath, char* out);

// WININIT.INI's text without its [rename] lines "NUL=<shortPath>" (any
// case); every other line as it was. Written to `out` (`size` bytes);
// returns its length.
std::size_t WithoutDeletionAtStart(const char* text, std::size_t size, const char* shortPath, char* out);

// A PendingFileRenameOperations value (`size` bytes of NUL-ended names, in
// pairs) without the deletions whose name (after its "\??\" prefix) `taken`
// says yes to. A value that does not read as whole pairs is kept as it is.
// Written to `out` (`size` bytes); returns its length.
using TakenPath = bool (*)(const char* path, void* context);
std::size_t WithoutPendingDeletions(const char* names, std::size_t size, TakenPath taken, void* context, char* out);
