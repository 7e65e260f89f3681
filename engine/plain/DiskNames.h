#pragma once

// The disk list files by index; for 1 and 2 the index is the program disk.
enum ListIndex : int {
    ListDisk1 = 1,
    ListDisk2,
    ListCrane,     // disk_2a.lst
    ListCcir,      // disk_2b.lst
    ListCanada,    // disk_2c.lst
    ListExamples,  // disk_2d.lst
    ListLookup,    // disk_2e.lst
    ListUserDll,   // disk_2f.lst
};

// "disk_1.lst" ... "disk_2f.lst"; null outside 1..8.
const char* ListFileName(int index);

// The disk prompt, kept beside the list names.
extern const char* const DiskPromptTitle;   // "New Disk Required"
extern const char* const DiskPromptFormat;  // "Place Program Disk %d in Drive %c"
