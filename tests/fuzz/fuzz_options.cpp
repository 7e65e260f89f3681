// Decodes arbitrary bytes as INSTALL.OPT over settings in two starting
// states, and checks the target directory always ends up terminated within
// its 260 bytes and holds exactly what the file gave it.
#include "engine/plain/OptionsFile.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {
void Check(bool condition, const char* what)
{
    if (!condition) {
        std::fprintf(stderr, "check failed: %s\n", what);
        std::abort();
    }
}

void DecodeOver(const std::uint8_t* data, std::size_t size, const InstallSettings& start)
{
    InstallSettings settings = start;
    bool tagged = size >= kOptionsTagSize && std::memcmp(data, "TS-3.0", 7) == 0;
    Check(DecodeOptions(data, size, settings) == tagged, "the tag alone decides whether the file counts");
    Check(std::memchr(settings.TargetDirectory, 0, kPathSize) != nullptr, "the directory is terminated");

    if (!tagged) {
        Check(std::memcmp(&settings, &start, sizeof settings) == 0, "a file with another tag changes nothing");
        return;
    }
    for (std::size_t i = 0; i < ComponentCount; ++i) {
        std::size_t offset = kOptionsFlagsOffset + i;
        Check(settings.Flags[i] == (offset < size ? data[offset] : start.Flags[i]),
              "each flag comes from its byte, or stays when the file ends before it");
    }
    if (size >= kOptionsDirectoryOffset + kOptionsDirectorySize) {
        const char* field = reinterpret_cast<const char*>(data + kOptionsDirectoryOffset);
        Check(std::string(field, strnlen(field, kPathSize - 1)) == settings.TargetDirectory,
              "the directory is the field up to its NUL, at most 259 characters");
    } else if (size <= kOptionsDirectoryOffset) {
        Check(std::strcmp(settings.TargetDirectory, start.TargetDirectory) == 0,
              "a file that ends before the directory leaves it");
    }

    // What was read is written back the same way.
    OptionsImage image = EncodeOptions(settings);
    InstallSettings again;
    Check(DecodeOptions(image.data(), image.size(), again), "an encoded image carries the tag");
    Check(std::strcmp(again.TargetDirectory, settings.TargetDirectory) == 0, "the directory survives a round trip");
    Check(std::memcmp(again.Flags, settings.Flags, sizeof again.Flags) == 0, "the flags survive a round trip");
}
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    InstallSettings defaults;
    DecodeOver(data, size, defaults);

    // A directory that already fills its whole storage.
    InstallSettings full;
    std::memset(full.TargetDirectory, 'Z', sizeof full.TargetDirectory);
    full.TargetDirectory[kPathSize - 1] = '\0';
    DecodeOver(data, size, full);
    return 0;
}
