#include "shell/InstallationPoint.h"

#include <windows.h>

#include <cstring>
#include <vector>

#include "engine/CompressedSource.h"
#include "engine/plain/ChecksumList.h"
#include "engine/plain/Crc32.h"
#include "engine/plain/DiskNames.h"
#include "engine/plain/PointFiles.h"
#include "engine/plain/ScratchName.h"
#include "engine/plain/SizeList.h"
#include "framework/UniqueHandle.h"
#include "launcher/plain/LaunchPlan.h"
#include "shell/PlatformReason.h"
#include "shell/plain/FormatText.h"
#include "shell/plain/PathHelpers.h"

namespace {
const char* const BoxTitle = "Tessaryn 3.0 Setup";
constexpr int PointMade = 0;
constexpr int PointNotMade = 1;

// Off the stack, which the runtime does not probe.
char Buffer[8192];
char ReadBack[sizeof Buffer];
char Text[1024];
// What a folder's path takes after its name when it is searched: "\*.*".
constexpr int SearchTail = sizeof "\\*.*";

// The disk being copied and where to: the path on the disk being copied now
// and the same path in the point's folder; the checksum list that covers the
// folder being copied, and where in From the names it gives begin.
struct PointCopy {
    char From[MAX_PATH] = {};
    char To[MAX_PATH] = {};
    int Disk = 0;
    const std::vector<char>* Checksums = nullptr;
    int ChecksumsFrom = 0;
    // A file of this name is made in the point's folder while it is made: a
    // folder of the disks that holds it is the point, reached through another
    // path (another drive letter for the same folder, a share).
    char Marker[kScratchNameSize] = {};
};

int Tell(UINT icon)
{
    ::MessageBoxA(nullptr, Text, BoxTitle, MB_OK | icon);
    return icon == MB_ICONINFORMATION ? PointMade : PointNotMade;
}

// "SETUP.EXE could not <what> <path>:" and the reason.
int Refuse(const char* what, const char* path, const char* reason)
{
    FormatText(Text, sizeof Text, "SETUP.EXE could not %s %s:\n%s", what, path, reason);
    return Tell(MB_ICONSTOP);
}

int Fault(const char* what, const char* path, DWORD error)
{
    char reason[kReasonSize];
    PlatformReason(error, reason);
    return Refuse(what, path, reason);
}

bool IsFolder(const char* path)
{
    const DWORD attributes = ::GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool IsThere(const char* folder, const char* name)
{
    char path[MAX_PATH + 16];
    FormatText(path, sizeof path, "%s%s", folder, name);
    return ::GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES;
}

bool IsDotEntry(const char* name)
{
    return name[0] == '.' && (!name[1] || (name[1] == '.' && !name[2]));
}

// Whether `folder` (with its trailing backslash) holds anything.
bool HoldsAnything(const char* folder)
{
    char pattern[MAX_PATH + 8];
    FormatText(pattern, sizeof pattern, "%s*.*", folder);
    WIN32_FIND_DATAA found;
    HANDLE search = ::FindFirstFileA(pattern, &found);
    if (search == INVALID_HANDLE_VALUE) return false;
    bool holds = false;
    do holds = !IsDotEntry(found.cFileName);
    while (!holds && ::FindNextFileA(search, &found));
    ::FindClose(search);
    return holds;
}

// Makes `folder` (with its trailing backslash) level by level; the levels
// that are there already (a drive's root, a share) are passed over.
bool MakeFolder(char* folder)
{
    for (char* at = folder; *at; ++at) {
        if (*at != '\\' || at == folder) continue;
        *at = '\0';
        ::CreateDirectoryA(folder, nullptr);
        *at = '\\';
    }
    return IsFolder(folder);
}

// Copies `from` to `to`, or appends it there, and reads back what was
// written: it must be what was read from the disk. The platform's error;
// ERROR_CRC when the copy reads back otherwise.
DWORD CopyChecked(const char* from, const char* to, bool append)
{
    TFile source(::CreateFileA(from, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                               nullptr));
    TFile copy(source.IsValid() ? ::CreateFileA(to, GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                                append ? OPEN_ALWAYS : CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr)
                                : INVALID_HANDLE_VALUE);
    DWORD error = copy.IsValid() ? ERROR_SUCCESS : ::GetLastError();
    if (append) ::SetFilePointer(copy.Get(), 0, nullptr, FILE_END);
    // One piece at a time: read, written, read back and compared.
    for (DWORD read = 1, done; error == ERROR_SUCCESS && read;) {
        if (!::ReadFile(source.Get(), Buffer, sizeof Buffer, &read, nullptr) ||
            !::WriteFile(copy.Get(), Buffer, read, &done, nullptr))
            error = ::GetLastError();
        else if (done != read)
            error = ERROR_DISK_FULL;
        else if (::SetFilePointer(copy.Get(), -static_cast<LONG>(read), nullptr, FILE_CURRENT),
                 !::ReadFile(copy.Get(), ReadBack, read, &done, nullptr) || done != read)
            error = ERROR_CRC;
        for (DWORD i = 0; error == ERROR_SUCCESS && i < read; ++i)
            if (ReadBack[i] != Buffer[i]) error = ERROR_CRC;
    }
    if (error == ERROR_SUCCESS && !::FlushFileBuffers(copy.Get())) error = ::GetLastError();
    return error;
}

// The copy expanded as an installation expands it, against what the disk's
// checksum list says of the file: ERROR_CRC where it expands otherwise.
DWORD CheckExpansion(const PointCopy& copy)
{
    ExpectedContents expected;
    const std::vector<char>& list = *copy.Checksums;
    if (!FindChecksumLine(list.data(), list.size(), copy.From + copy.ChecksumsFrom, expected)) return ERROR_CRC;
    if (!expected.Known) return ERROR_SUCCESS;
    TLzFile expanding;
    if (OpenCompressedSource(copy.To, expanding) != 0) return ERROR_CRC;
    std::uint32_t crc = 0;
    std::uint32_t size = 0;
    for (INT read; (read = ::LZRead(expanding.Get(), Buffer, sizeof Buffer)) != 0; size += read) {
        if (read < 0) return ERROR_CRC;
        crc = Crc32(crc, Buffer, static_cast<std::size_t>(read));
    }
    return crc == expected.Crc && size == expected.Size ? ERROR_SUCCESS : ERROR_CRC;
}

// One file of the disk, From to To; `name` is its own. A file of the root
// whose lines the point joins is added to disk 1's.
int CopyFile(PointCopy& copy, const char* name, bool inRoot)
{
    if (inRoot && IsLeftOutOfPoint(name)) return PointMade;
    const bool joined = inRoot && IsJoinedPointFile(name);
    DWORD error = CopyChecked(copy.From, copy.To, copy.Disk == 2 && joined);
    if (error == ERROR_SUCCESS && copy.Checksums && !IsJoinedPointFile(name)) error = CheckExpansion(copy);
    return error == ERROR_SUCCESS ? PointMade : Fault("copy", copy.From, error);
}

// The folder at the ends of From and To (each ending in a backslash) and
// everything in it. Its own checksum list covers what is below it.
int CopyFolder(PointCopy& copy, bool inRoot)
{
    const int fromEnd = static_cast<int>(std::strlen(copy.From));
    const int toEnd = static_cast<int>(std::strlen(copy.To));
    const int longer = fromEnd > toEnd ? fromEnd : toEnd;
    const std::vector<char>* outerChecksums = copy.Checksums;
    const int outerFrom = copy.ChecksumsFrom;
    std::vector<char> checksums;
    CopyBounded(copy.From + fromEnd, MAX_PATH - fromEnd, kChecksumListName);
    if (LoadListFile(copy.From, checksums) == ListLoadResult::Loaded) {
        copy.Checksums = &checksums;
        copy.ChecksumsFrom = fromEnd;
    }
    CopyBounded(copy.From + fromEnd, MAX_PATH - fromEnd, "*.*");
    WIN32_FIND_DATAA found;
    HANDLE search = ::FindFirstFileA(copy.From, &found);
    int result = search == INVALID_HANDLE_VALUE ? Fault("copy", copy.From, ::GetLastError()) : PointMade;
    while (result == PointMade) {
        const char* name = found.cFileName;
        const bool folder = found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY;
        if (IsDotEntry(name)) {
        } else if (longer + std::strlen(name) + SearchTail > MAX_PATH) {
            result = Fault("copy", name, ERROR_FILENAME_EXCED_RANGE);
        } else {
            const char* format = folder ? "%s\\" : "%s";
            FormatText(copy.From + fromEnd, MAX_PATH - fromEnd, format, name);
            FormatText(copy.To + toEnd, MAX_PATH - toEnd, format, name);
            result = !folder                ? CopyFile(copy, name, inRoot)
                     : MakeFolder(copy.To) ? CopyFolder(copy, false)
                                           : Fault("make", copy.To, ::GetLastError());
        }
        if (!::FindNextFileA(search, &found)) break;
    }
    if (search != INVALID_HANDLE_VALUE) ::FindClose(search);
    copy.From[fromEnd] = '\0';
    copy.To[toEnd] = '\0';
    copy.Checksums = outerChecksums;
    copy.ChecksumsFrom = outerFrom;
    return result;
}

// The disk's list, as the installer names it: disk_1.lst, disk_2.lst.
bool ListIsThere(const char* source, int disk)
{
    return IsThere(source, ListFileName(disk));
}

// An update set is one disk: its sizes name the files of disk_1.lst only.
// A disk 1 without sizes is of a set of two.
bool IsOneDisk(const char* source)
{
    SetSizes sizes;
    if (!ReadSetSizes(source, sizes) || !sizes.Known) return false;
    for (const SizedFile& file : sizes.Files)
        if (file.List != ListDisk1) return false;
    return true;
}

// Asks for disk 2 as the installer asks for a disk in a floppy drive, at
// least once and again until its list is there; false at Cancel.
bool AskForDisk2(const char* source)
{
    char prompt[80];
    FormatText(prompt, sizeof prompt, DiskPromptFormat, 2, source[0]);
    do {
        if (::MessageBoxA(nullptr, prompt, DiskPromptTitle, MB_OKCANCEL | MB_ICONEXCLAMATION) != IDOK) return false;
    } while (!ListIsThere(source, 2));
    return true;
}

// Whether the folder at the end of `path` (ending in a backslash), or one
// below it, holds the marker: the point is inside it.
bool HoldsMarker(char* path, const char* marker)
{
    const int end = static_cast<int>(std::strlen(path));
    if (IsThere(path, marker)) return true;
    CopyBounded(path + end, MAX_PATH - end, "*.*");
    WIN32_FIND_DATAA found;
    HANDLE search = ::FindFirstFileA(path, &found);
    bool holds = false;
    if (search != INVALID_HANDLE_VALUE) {
        do {
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || IsDotEntry(found.cFileName) ||
                end + std::strlen(found.cFileName) + SearchTail > MAX_PATH)
                continue;
            FormatText(path + end, MAX_PATH - end, "%s\\", found.cFileName);
            holds = HoldsMarker(path, marker);
        } while (!holds && ::FindNextFileA(search, &found));
        ::FindClose(search);
    }
    path[end] = '\0';
    return holds;
}

int CopyDisks(PointCopy& copy, const char* source, const char* point)
{
    const int disks = IsOneDisk(source) ? 1 : 2;
    for (copy.Disk = 1; copy.Disk <= disks; ++copy.Disk) {
        if (copy.Disk == 2 && !AskForDisk2(source)) return PointNotMade;
        CopyBounded(copy.From, MAX_PATH, source);
        if (HoldsMarker(copy.From, copy.Marker)) return Refuse("make", point, "It is inside the disk that is copied.");
        const int result = CopyFolder(copy, true);
        if (result != PointMade) return result;
    }
    return PointMade;
}
}

int MakeInstallationPoint(const char* source, const char* folder)
{
    static PointCopy copy;
    char* name = nullptr;
    const DWORD length = folder ? ::GetFullPathNameA(folder, MAX_PATH - 1, copy.To, &name) : 0;
    if (length == 0 || length >= MAX_PATH - 1 || !ListIsThere(source, 1)) {
        CopyBounded(Text, sizeof Text, "Start SETUP.EXE /A FOLDER from disk 1.");
        return Tell(MB_ICONSTOP);
    }
    if (copy.To[length - 1] == '\\') copy.To[length - 1] = '\0';
    // Named as it was given, without the separator a path to its files takes.
    char point[MAX_PATH];
    CopyBounded(point, sizeof point, copy.To);
    FormatText(copy.To, MAX_PATH, "%s\\", point);
    // Not on the drive of the disks, which are swapped (and would copy the copy).
    if (DriveLetterOf(copy.To) == DriveLetterOf(source)) return Fault("make", point, ERROR_BAD_PATHNAME);
    if (IsFolder(copy.To) && HoldsAnything(copy.To) &&
        !(ListIsThere(copy.To, 1) && IsThere(copy.To, "SETUP.EXE")))
        return Refuse("make", point, "It holds files, and it is no earlier installation point.");
    if (!MakeFolder(copy.To)) return Fault("make", point, ::GetLastError());

    ScratchName(static_cast<int>(::GetTickCount() % kScratchNames), copy.Marker);
    char marker[MAX_PATH + kScratchNameSize];
    FormatText(marker, sizeof marker, "%s%s", copy.To, copy.Marker);
    TFile made(::CreateFileA(marker, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!made.IsValid()) return Fault("make", point, ::GetLastError());
    made.Reset();
    const int result = CopyDisks(copy, source, point);
    ::DeleteFileA(marker);
    if (result != PointMade) return result;
    FormatText(Text, sizeof Text, "%s is an installation point now.", point);
    return Tell(MB_ICONINFORMATION);
}
