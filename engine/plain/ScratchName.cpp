#include "engine/plain/ScratchName.h"

#include <cstring>
#include <strings.h>

void ScratchName(int number, char (&name)[kScratchNameSize])
{
    std::memcpy(name, "~TSW0000.TMP", sizeof name);
    for (int digit = 7; digit >= 4; --digit, number /= 10) name[digit] = static_cast<char>('0' + number % 10);
}

bool IsScratchName(const char* begin, const char* end)
{
    while (end > begin && (end[-1] == '.' || end[-1] == ' ')) --end;
    const std::size_t length = static_cast<std::size_t>(end - begin);
    return length >= 8 && strncasecmp(begin, "~TSW", 4) == 0 && strncasecmp(end - 4, ".TMP", 4) == 0;
}

bool IsNumberedScratchName(const char* name)
{
    if (std::strlen(name) != kScratchNameSize - 1) return false;
    for (int digit = 4; digit < 8; ++digit)
        if (name[digit] < '0' || name[digit] > '9') return false;
    return strncasecmp(name, "~TSW", 4) == 0 && strcasecmp(name + 8, ".TMP") == 0;
}
