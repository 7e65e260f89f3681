#pragma once
#include <windows.h>

#include "shell/plain/PathHelpers.h"

#include <vector>

// The lead-byte tests the Shift-JIS (code page 932) rows run with: one of
// their own, and the system's where its ANSI code page is 932.
inline bool ShiftJisLeadByte(unsigned char byte)
{
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}
inline std::vector<LeadByteTest> ShiftJisLeadByteTests()
{
    if (::GetACP() == 932) return {ShiftJisLeadByte, SystemLeadByte};
    return {ShiftJisLeadByte};
}
