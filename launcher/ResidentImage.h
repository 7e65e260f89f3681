#pragma once

// Reads SETUP.EXE's own image into memory and locks it there, so that the
// system never reads a page of it again from disk 1 once disk 2 is in the
// drive. Where the system does not lock, the pages are only read in.
void KeepOwnImageResident();
