#include "launcher/plain/CopyPlace.h"

#include "launcher/plain/LaunchPlan.h"
#include "shell/plain/FormatText.h"

namespace {
char UpperAscii(char c)
{
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

// One folder named twice ("C:\WINDOWS\TEMP\" and "c:\windows\temp"): case
// and a closing backslash ignored.
bool SameFolder(const char* first, const char* second)
{
    for (; *first && UpperAscii(*first) == UpperAscii(*second); ++first, ++second) {
    }
    const bool firstEnds = !*first || (first[0] == '\\' && !first[1]);
    const bool secondEnds = !*second || (second[0] == '\\' && !second[1]);
    return firstEnds && secondEnds;
}

// Kilobytes, rounded up, as a box shows them.
int Kilobytes(std::uint64_t bytes)
{
    const std::uint64_t kilobytes = (bytes + 1023) >> 10;
    return kilobytes > 0x7FFFFFFF ? 0x7FFFFFFF : static_cast<int>(kilobytes);
}

std::uint64_t RoomNeeded(const CopyPlaceProbe& place, const CopyNeed& need)
{
    return need.Bytes + static_cast<std::uint64_t>(need.Files) * place.ClusterBytes;
}

CopyPlaceFault Assess(const CopyPlaceProbe& place, const CopyNeed& need)
{
    if (!place.Folder[0] || !place.Exists) return CopyPlaceFault::Missing;
    if (!place.HardDisk) return CopyPlaceFault::NotHardDisk;
    // Without an answer on the free space the copy is tried: it checks every file it writes.
    if (place.FreeKnown && place.FreeBytes < RoomNeeded(place, need)) return CopyPlaceFault::TooLittleRoom;
    char name[kTemporaryFolderNameSize];
    TemporaryFolderName(0, name);
    const char* copy = JoinPath(place.Folder, name, 0);
    if (!copy || !HelpFileFitsViewer(copy)) return CopyPlaceFault::PathTooLong;
    return CopyPlaceFault::None;
}
}

void ListCopyPlaces(const char* temporary, const char* windows, CopyPlaceFolders& folders)
{
    CopyBounded(folders[0], kPathSize, temporary);
    const char* windowsTemporary = windows[0] ? JoinPath(windows, "TEMP", 0) : nullptr;
    CopyBounded(folders[1], kPathSize, windowsTemporary ? windowsTemporary : "");
    const char drive = DriveLetterOf(windows);
    const char root[] = {drive, ':', '\\', '\0'};
    CopyBounded(folders[2], kPathSize, drive ? root : "");
}

std::size_t NextCopyPlace(const CopyPlaceProbe* places, std::size_t count, std::size_t from, const CopyNeed& need,
                          CopyPlaceFault* faults)
{
    for (std::size_t i = from; i < count; ++i) {
        faults[i] = Assess(places[i], need);
        for (std::size_t earlier = 0; earlier < i && faults[i] != CopyPlaceFault::Missing; ++earlier)
            if (SameFolder(places[earlier].Folder, places[i].Folder)) faults[i] = CopyPlaceFault::SameAsEarlier;
        if (faults[i] == CopyPlaceFault::None) return i;
    }
    return count;
}

void NoCopyPlaceText(const CopyPlaceProbe* places, const CopyPlaceFault* faults, std::size_t count,
                     const CopyNeed& need, char* text, std::size_t size)
{
    if (size == 0) return;
    std::size_t used = 0;
    auto put = [&](const char* piece) {
        CopyBounded(text + used, size - used, piece);
        while (text[used]) ++used;
    };
    auto putKilobytes = [&](std::uint64_t bytes) {
        FormatText(text + used, size - used, "%d KB", Kilobytes(bytes));
        while (text[used]) ++used;
    };
    put("SETUP.EXE could not write the installer (");
    putKilobytes(need.Bytes);
    put(") to a folder on a hard disk:\n");
    char windowsDrive[] = "C:";
    for (std::size_t i = 0; i < count; ++i) {
        const CopyPlaceProbe& place = places[i];
        if (faults[i] == CopyPlaceFault::SameAsEarlier || faults[i] == CopyPlaceFault::None) continue;
        if (DriveLetterOf(place.Folder)) windowsDrive[0] = DriveLetterOf(place.Folder);
        put("\n");
        put(place.Folder[0] ? place.Folder : "no folder");
        if (i == 0) put(" (TEMP)");
        put(": ");
        switch (faults[i]) {
        case CopyPlaceFault::Missing: put("no such folder"); break;
        case CopyPlaceFault::NotHardDisk: put("not on a hard disk"); break;
        case CopyPlaceFault::TooLittleRoom:
            putKilobytes(place.FreeBytes);
            put(" free");
            break;
        case CopyPlaceFault::PathTooLong: put("its path is too long"); break;
        default: put("writing there failed"); break;
        }
    }
    put("\n\nFree ");
    putKilobytes(need.Bytes);
    put(" on drive ");
    put(windowsDrive);
    put(", or set TEMP to a folder on a hard disk that has the room, then start SETUP.EXE again.");
}
