#include "engine/plain/Crc32.h"

namespace {
// One step of the division for each byte value, made once by the compiler.
struct Crc32Table {
    std::uint32_t Step[256] = {};
    constexpr Crc32Table()
    {
        for (std::uint32_t value = 0; value < 256; ++value) {
            std::uint32_t remainder = value;
            for (int bit = 0; bit < 8; ++bit) remainder = (remainder >> 1) ^ ((remainder & 1) ? 0xEDB88320u : 0);
            Step[value] = remainder;
        }
    }
};
constexpr Crc32Table Crc32Steps;
}

std::uint32_t Crc32(std::uint32_t crc, const void* data, std::size_t size)
{
    const unsigned char* byte = static_cast<const unsigned char*>(data);
    crc = ~crc;
    for (std::size_t i = 0; i < size; ++i) crc = Crc32Steps.Step[(crc ^ byte[i]) & 0xFF] ^ (crc >> 8);
    return ~crc;
}
