#pragma once

// Whether the installation dialog accepts a target directory (already trimmed
// and upper-cased): not empty, "X:" at its start with X from "C" on (codes
// 67 to 127), and no double quote, which no Program Manager command could
// carry.
bool IsAcceptableInstallDirectory(const char* directory);

// Whether the update dialog accepts an installed directory: not empty, and
// no double quote.
bool IsAcceptableUpdateDirectory(const char* directory);
