#include "engine/ExpandedFileCheck.h"

#include "engine/plain/Crc32.h"

bool HoldsExpectedContents(const TFile& file, const ExpectedContents& expected)
{
    if (!expected.Known) return true;
    std::uint32_t crc = 0;
    std::uint32_t size = 0;
    return ScratchFileFigures(file, crc, size) && crc == expected.Crc && size == expected.Size;
}

bool ScratchFileFigures(const TFile& file, std::uint32_t& crc, std::uint32_t& size)
{
    if (::SetFilePointer(file.Get(), 0, nullptr, FILE_BEGIN) != 0) return false;
    // Kept under a page: a larger frame would need the stack probe, which
    // the installer's runtime does not have.
    unsigned char buffer[3072];
    crc = 0;
    size = 0;
    for (;;) {
        DWORD read = 0;
        if (!::ReadFile(file.Get(), buffer, sizeof buffer, &read, nullptr)) return false;
        if (read == 0) return true;
        crc = Crc32(crc, buffer, read);
        size += read;
    }
}
