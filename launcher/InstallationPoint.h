#pragma once

// SETUP.EXE /A FOLDER: copies program disk 1 (the disk SETUP.EXE runs from,
// `source` with its trailing backslash) and then disk 2, asked for as the
// installer asks for it, into FOLDER (made when missing), each file read
// back and compared. A box says what went wrong, with the platform's reason,
// or that the point is made. Returns SETUP.EXE's exit code: 0 when the point holds
// both disks, 1 otherwise (no folder given, a fault, or Cancel at the disk
// prompt).
int MakeInstallationPoint(const char* source, const char* folder);
