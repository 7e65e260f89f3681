#pragma once
#include <windows.h>

#include "shell/plain/PathHelpers.h"

#include <vector>

// The lead bytes of Shift-JIS (code page 932), whatever the code page of the
// machine running the tests.
inline bool ShiftJisLeadByte(unsigned char byte)
{
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

// The lead-byte tests the Shift-JIS rows run with: the one above, and the
// system's own where the system's ANSI code page is 932 (a Japanese locale),
// as the shipped installer meets it there.
inline std::vector<LeadByteTest> ShiftJisLeadByteTests()
{
    std::vector<LeadByteTest> tests = {ShiftJisLeadByte};
    if (::GetACP() == 932) tests.push_back(SystemLeadByte);
    return tests;
}
