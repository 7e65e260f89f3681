#pragma once

// The disk list files by index; for 1 and 2 the index is the program disk.
enum ListIndex : int {
    ListDisk1 = 1,
    ListDisk2,
    ListCrane,
    ListCcir,
    ListCanada,
    ListExamples,
    ListLookup,
    ListUserDll,
};

// "disk_1.lst" ... "disk_2f.lst", from the installation plan; null outside 1..8.
const char* ListFileName(int index);

// The disk prompt, kept beside the list names.
extern const char* const DiskPromptTitle;   // "New Disk Required"
extern const char* const DiskPromptFormat;  // "Place Program Disk %d in Drive %c"
