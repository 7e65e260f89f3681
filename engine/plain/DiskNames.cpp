#include "engine/plain/DiskNames.h"

namespace {
const char* const ListNames[] = {
    nullptr,
    "disk_1.lst",
    "disk_2.lst",
    "disk_2a.lst",
    "disk_2b.lst",
    "disk_2c.lst",
    "disk_2d.lst",
    "disk_2e.lst",
    "disk_2f.lst",
};
}

const char* const DiskPromptTitle = "New Disk Required";
const char* const DiskPromptFormat = "Place Program Disk %d in Drive %c";

const char* ListFileName(int index)
{
    if (index < ListDisk1 || index > ListUserDll) return nullptr;
    return ListNames[index];
}
