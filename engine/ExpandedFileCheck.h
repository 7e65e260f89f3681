#pragma once
#include "engine/plain/ListFile.h"
#include "framework/UniqueHandle.h"

#include <cstdint>

// Whether the expanded file open in `file` (for reading too) holds what its
// disk says it expands to, read back from its first byte: what reached the
// disk is what is checked. True where the disk says nothing of it.
bool HoldsExpectedContents(const TFile& file, const ExpectedContents& expected);

// The CRC-32 and size of the file open in `file` (for reading too), read
// back from its first byte. False when it cannot be read.
bool ScratchFileFigures(const TFile& file, std::uint32_t& crc, std::uint32_t& size);
