#include "dialogs/plain/EntryChecks.h"

#include <cstring>

bool IsFilledEntry(const char* entry)
{
    return entry[0] != '\0';
}

bool IsAcceptableUpdateDirectory(const char* directory)
{
    return directory[0] != '\0' && std::strchr(directory, '"') == nullptr &&
           std::strlen(directory) <= kMaxEnteredDirectoryLength;
}

bool IsAcceptableInstallDirectory(const char* directory)
{
    if (!IsAcceptableUpdateDirectory(directory) || directory[1] != ':') return false;
    return static_cast<signed char>(directory[0]) >= 'C';
}

bool IsBareDriveLetter(const char* source)
{
    return source[0] >= 'A' && source[0] <= 'Z' && source[1] == '\0';
}
