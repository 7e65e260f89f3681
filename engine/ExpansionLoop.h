#pragma once
#include <windows.h>

#include "engine/plain/ListFile.h"

#include <cstdint>

// What a file expanded to, counted as its bytes were written: the CRC-32 of
// ZIP and zlib and the length.
struct ExpandedContents {
    std::uint32_t Crc = 0;
    std::uint32_t Size = 0;
};

// Told after each piece written, with the bytes of the file written so far.
using WrittenWatch = void (*)(std::uint32_t written, void* context);

// Expands the compressed file `source` (opened by the LZ library, read from
// its first byte) into `output` a piece at a time: LZRead into a buffer, then
// WriteFile, the CRC counted over what the disk took. The length written, or
// the library's code for the fault: the code LZRead gives, kLzWrite where the
// disk takes less than it is given (a full disk).
LONG ExpandInto(INT source, HANDLE output, ExpandedContents& written, WrittenWatch watch = nullptr,
                void* context = nullptr);

// Reads the open file `file` from where it stands to its end, counting what
// it holds as ExpandInto counts what it writes, with the same buffer. False
// where a read fails, or the file would pass the expander's length.
bool CountContents(HANDLE file, ExpandedContents& read);

// Whether what was written is what the disk says the file expands to (both
// its CRC and its length); true where the disk says nothing of it.
inline bool IsExpected(const ExpectedContents& expected, const ExpandedContents& written)
{
    return !expected.Known || (expected.Crc == written.Crc && expected.Size == written.Size);
}
