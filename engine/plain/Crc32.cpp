#include "engine/plain/Crc32.h"

namespace {
// One step of the division for each byte value, made on the first use: a
// table the compiler made would cost the programs a kilobyte on the disk.
std::uint32_t Steps[256];

void MakeSteps()
{
    for (std::uint32_t value = 0; value < 256; ++value) {
        std::uint32_t remainder = value;
        for (int bit = 0; bit < 8; ++bit) remainder = (remainder >> 1) ^ ((remainder & 1) ? 0xEDB88320u : 0);
        Steps[value] = remainder;
    }
}
}

std::uint32_t Crc32(std::uint32_t crc, const void* data, std::size_t size)
{
    // Steps[1] is never 0 once made; two threads making it at once write the same values.
    if (!Steps[1]) MakeSteps();
    const unsigned char* byte = static_cast<const unsigned char*>(data);
    crc = ~crc;
    for (std::size_t i = 0; i < size; ++i) crc = Steps[(crc ^ byte[i]) & 0xFF] ^ (crc >> 8);
    return ~crc;
}
