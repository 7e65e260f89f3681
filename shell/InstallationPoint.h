#pragma once

// SETUP.EXE /A FOLDER, made by the installer that SETUP.EXE starts from its
// copy on a hard disk (defined in engine/InstallationPoint.cpp): copies program disk 1 (`source`, the folder SETUP.EXE runs
// from, with its trailing backslash) and then disk 2, asked for as an
// installation asks for it, into FOLDER (made when missing). An update set
// (its SIZES.LST names files of disk_1.lst only) is one disk: no disk 2. Each
// file is read back and compared once written, and a file its disk's
// CHECKSUM.LST names is expanded from the copy and checked against its line.
// FOLDER may be empty, missing or an earlier point; it may not lie on the
// drive of the disks or inside them (also through another drive letter). A
// box says what went wrong, with the platform's reason, or that the point is
// made. Returns the exit code: 0 when the point holds every disk, 1
// otherwise (no folder given, a refusal, a fault, or Cancel at the disk
// prompt).
int MakeInstallationPoint(const char* source, const char* folder);
