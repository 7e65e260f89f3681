#pragma once
#include <array>
#include <cstddef>
#include <cstdint>

#include "shell/plain/Settings.h"

// INSTALL.OPT: 631 bytes, fields contiguous.
constexpr std::size_t kOptionsFileSize = 631;
constexpr std::size_t kOptionsTagOffset = 0;
constexpr std::size_t kOptionsTagSize = 7;
constexpr std::size_t kOptionsDirectoryOffset = 89;
constexpr std::size_t kOptionsDirectorySize = 260;
constexpr std::size_t kOptionsFlagsOffset = 626;

using OptionsImage = std::array<std::uint8_t, kOptionsFileSize>;

// The file image for the settings; reserved fields are zero.
OptionsImage EncodeOptions(const InstallSettings& settings);

// Reads as much of a file image as there is into the settings. Nothing
// changes when the tag does not match. Fields the data does not reach keep
// their values; a field cut short has only its first bytes replaced. The
// directory always ends up terminated, at most 259 characters.
// Returns whether the tag matched.
bool DecodeOptions(const std::uint8_t* data, std::size_t size, InstallSettings& settings);

// TSW_FILE.CHK: "TSW_LAN" and three NUL bytes.
constexpr std::size_t kMarkerFileSize = 10;
extern const char MarkerFileBytes[kMarkerFileSize];
