#pragma once
#include <cstdint>
#include <vector>

// The room a run needs on its target's drive, worked out before anything is
// written. Each file takes whole clusters of the drive.
struct FileRoom {
    std::uint32_t Size = 0;     // what the new file expands to
    std::uint32_t Earlier = 0;  // the size of the file it replaces (0: none)
};

// `bytes` as the drive holds them: rounded up to its cluster (a cluster of 0
// is taken as one byte). 32-bit division only: the shipped programs carry
// no library for 64-bit division.
std::uint64_t OnDrive(std::uint32_t bytes, std::uint32_t cluster);

// An installation replaces file by file: at any moment it holds the files
// written so far less the earlier ones they replaced, and the file being
// written beside its earlier version. It needs the most of that, and never
// less than its new files less the earlier ones plus its largest file once
// more. 0 where it frees more than it takes.
std::uint64_t RoomForInstallation(const std::vector<FileRoom>& files, std::uint32_t cluster);

// An update keeps every new file beside its earlier one until the last is
// whole, and its record (`recordBytes`) beside them.
std::uint64_t RoomForUpdate(const std::vector<FileRoom>& files, std::uint32_t cluster, std::uint32_t recordBytes);

// "3,104 KB": bytes as whole kilobytes, rounded up, thousands separated.
void FormatKilobytes(std::uint64_t bytes, char (&text)[32]);
