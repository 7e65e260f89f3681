#include "dialogs/plain/EntryChecks.h"

#include <cstring>

bool IsAcceptableInstallDirectory(const char* directory)
{
    if (directory[0] == '\0' || directory[1] != ':') return false;
    if (static_cast<signed char>(directory[0]) < 'C') return false;
    return std::strchr(directory, '"') == nullptr;
}

bool IsAcceptableUpdateDirectory(const char* directory)
{
    return directory[0] != '\0' && std::strchr(directory, '"') == nullptr;
}
