#include "engine/plain/OptionsFile.h"

#include <algorithm>
#include <cstring>

namespace {
const char Tag[kOptionsTagSize] = {'T', 'S', '-', '3', '.', '0', '\0'};
}

const char MarkerFileBytes[kMarkerFileSize] = {'T', 'S', 'W', '_', 'L', 'A', 'N', '\0', '\0', '\0'};

// The directory field holds the settings' whole directory buffer.
static_assert(sizeof(InstallSettings::TargetDirectory) == kOptionsDirectorySize, "directory field and buffer differ");
static_assert(kOptionsDirectoryOffset + kOptionsDirectorySize <= kOptionsFlagsOffset, "directory overlaps the flags");
static_assert(kOptionsFlagsOffset + ComponentCount <= kOptionsFileSize, "flags overrun the file");

OptionsImage EncodeOptions(const InstallSettings& settings)
{
    OptionsImage image{};
    std::memcpy(image.data() + kOptionsTagOffset, Tag, kOptionsTagSize);
    std::memcpy(image.data() + kOptionsDirectoryOffset, settings.TargetDirectory, kOptionsDirectorySize);
    image[kOptionsDirectoryOffset + kOptionsDirectorySize - 1] = 0;
    for (int i = 0; i < ComponentCount; ++i) image[kOptionsFlagsOffset + i] = settings.Flags[i];
    return image;
}

bool DecodeOptions(const std::uint8_t* data, std::size_t size, InstallSettings& settings)
{
    if (size < kOptionsTagSize || std::memcmp(data, Tag, kOptionsTagSize) != 0) return false;
    if (size > kOptionsDirectoryOffset) {
        std::size_t available = std::min(size - kOptionsDirectoryOffset, kOptionsDirectorySize);
        std::memcpy(settings.TargetDirectory, data + kOptionsDirectoryOffset, available);
        settings.TargetDirectory[kOptionsDirectorySize - 1] = '\0';
    }
    for (int i = 0; i < ComponentCount; ++i) {
        std::size_t offset = kOptionsFlagsOffset + static_cast<std::size_t>(i);
        if (offset < size) settings.Flags[i] = data[offset];
    }
    return true;
}
