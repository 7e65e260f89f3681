#pragma once
#include <cstddef>

// The longest directory a dialog accepts; a longer one (restored from the
// options file, which holds up to 259) is refused, never cut.
constexpr std::size_t kMaxEnteredDirectoryLength = 79;

// Whether the installation dialog accepts a target directory (already trimmed
// and upper-cased): not empty, "X:" at its start with X from "C" on (codes
// 67 to 127), no double quote, which no Program Manager command could
// carry, and no longer than kMaxEnteredDirectoryLength.
bool IsAcceptableInstallDirectory(const char* directory);

// Whether a drive or source entry holds anything at all.
bool IsFilledEntry(const char* entry);

// Whether the update dialog accepts an installed directory: not empty, no
// double quote, and no longer than kMaxEnteredDirectoryLength.
bool IsAcceptableUpdateDirectory(const char* directory);

// Whether an update source (upper-cased) is a bare drive letter, A to Z, which
// names that drive's root; anything else ("." or "\" included) is a folder.
bool IsBareDriveLetter(const char* source);
