#pragma once
#include <cstddef>

// Formats the installer's texts into a fixed buffer: cut at size-1 characters
// and always terminated (nothing is written when size is 0). Knows %s (a null
// string gives nothing), %c, %d and %%; any other character after a % is
// copied as it stands.
void FormatText(char* buffer, std::size_t size, const char* format, ...)
    __attribute__((format(printf, 3, 4)));
