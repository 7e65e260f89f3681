#pragma once

// What the disk prompt does before its box. On a removable drive the box
// shows at least once: the person puts the disk in and says so. Any other
// drive (a hard disk, a network drive mapped to an installation point that
// holds both disks) cannot be swapped: a list already there is the disk,
// with no box. An unattended run has nobody to put a disk in: its list is
// there, or the run ends.
enum class DiskPromptStep { Ask, Confirm, EndRun };
DiskPromptStep FirstDiskPromptStep(bool removableDrive, bool listPresent, bool unattended);
