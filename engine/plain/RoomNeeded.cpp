#include "engine/plain/RoomNeeded.h"

std::uint64_t OnDrive(std::uint32_t bytes, std::uint32_t cluster)
{
    if (cluster == 0) return bytes;
    const std::uint32_t clusters = bytes / cluster + (bytes % cluster != 0);
    return static_cast<std::uint64_t>(clusters) * cluster;
}

std::uint64_t RoomForInstallation(const std::vector<FileRoom>& files, std::uint32_t cluster)
{
    std::int64_t held = 0;  // the files placed so far less the earlier ones they replaced
    std::int64_t most = 0;
    std::int64_t largest = 0;
    for (const FileRoom& file : files) {
        const std::int64_t fresh = static_cast<std::int64_t>(OnDrive(file.Size, cluster));
        const std::int64_t earlier = static_cast<std::int64_t>(OnDrive(file.Earlier, cluster));
        if (held + fresh > most) most = held + fresh;
        if (fresh > largest) largest = fresh;
        held += fresh - earlier;
    }
    if (held + largest > most) most = held + largest;
    return static_cast<std::uint64_t>(most);
}

std::uint64_t RoomForUpdate(const std::vector<FileRoom>& files, std::uint32_t cluster, std::uint32_t recordBytes)
{
    std::uint64_t room = OnDrive(recordBytes, cluster);
    for (const FileRoom& file : files) room += OnDrive(file.Size, cluster);
    return room;
}

void FormatKilobytes(std::uint64_t bytes, char (&text)[32])
{
    const std::uint64_t whole = (bytes >> 10) + ((bytes & 1023) != 0);
    std::uint32_t kilobytes = whole > 0xFFFFFFFFu ? 0xFFFFFFFFu : static_cast<std::uint32_t>(whole);
    char reversed[32];
    int length = 0;
    int digits = 0;
    do {
        if (digits > 0 && digits % 3 == 0) reversed[length++] = ',';
        reversed[length++] = static_cast<char>('0' + kilobytes % 10);
        kilobytes /= 10;
        ++digits;
    } while (kilobytes > 0);
    int out = 0;
    while (length > 0) text[out++] = reversed[--length];
    text[out++] = ' ';
    text[out++] = 'K';
    text[out++] = 'B';
    text[out] = '\0';
}
