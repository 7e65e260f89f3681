#include "engine/plain/DiskNames.h"

const char* const DiskPromptTitle = "New Disk Required";
const char* const DiskPromptFormat = "Place Program Disk %d in Drive %c";
