#pragma once
#include <cstddef>
#include <cstdint>

// The CRC-32 of ZIP and zlib (reflected polynomial 0xEDB88320), carried on
// from `crc` over `size` more bytes: start from 0, and the CRC of bytes read
// piece by piece is that of all of them.
std::uint32_t Crc32(std::uint32_t crc, const void* data, std::size_t size);
