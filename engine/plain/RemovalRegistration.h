#pragma once
#include <string>

// The removal program an installation puts into its folder, and where the
// system is told of it: the Uninstall key of Add/Remove Programs (Windows 95,
// NT 4.0) or, where there is none or it cannot be written, an item of the
// program group.
extern const char* const kRemovalProgramName;  // "TSWREMOV.EXE"
extern const char* const kRemovalItemTitle;    // "Remove Tessaryn 3.0"
// Under HKEY_LOCAL_MACHINE.
extern const char* const kUninstallKeyPath;  // "Software\Microsoft\Windows\CurrentVersion\Uninstall\Tessaryn 3.0"

// Whether the system whose GetVersion value is `version` has Add/Remove
// Programs: Windows 95 and NT 4.0 (and later ones) have it, NT 3.51 has not.
bool HasAddRemovePrograms(unsigned long version);

// The command Add/Remove Programs starts for the removal program at
// `programPath`, whose short form is `shortPath` (empty where it has none).
// The system starts the first program that fits a command line with a blank
// in an unquoted path (C:\PROGRAM.EXE for C:\PROGRAM FILES\...): a path with
// a blank stands in its short form, as the group's items do, and in double
// quotes where even that holds one.
std::string UninstallCommand(const std::string& programPath, const std::string& shortPath);
