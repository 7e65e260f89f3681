#include "launcher/InstallationPoint.h"

#include <windows.h>

#include "engine/plain/DiskNames.h"
#include "framework/UniqueHandle.h"
#include "launcher/PlatformReason.h"
#include "launcher/ResidentImage.h"
#include "launcher/plain/LaunchPlan.h"
#include "launcher/plain/PointFiles.h"

namespace {
const char* const BoxTitle = "Tessaryn 3.0 Setup";
constexpr int PointMade = 0;
constexpr int PointNotMade = 1;

// Off the stack, which the runtime does not probe.
char Buffer[8192];
char ReadBack[sizeof Buffer];
char Text[1024];  // wsprintfA writes at most 1024 bytes
// What a folder's path takes after its name when it is searched: "\*.*".
constexpr int SearchTail = sizeof "\\*.*";

// The disk being copied and where to: the path on the disk being copied now
// and the same path in the point's folder.
struct PointCopy {
    char From[MAX_PATH] = {};
    char To[MAX_PATH] = {};
    int Disk = 0;
};

int Tell(UINT icon)
{
    ::MessageBoxA(nullptr, Text, BoxTitle, MB_OK | icon);
    return icon == MB_ICONINFORMATION ? PointMade : PointNotMade;
}

// "SETUP.EXE could not <what> <path>:" and the platform's reason.
int Fault(const char* what, const char* path, DWORD error)
{
    char reason[kReasonSize];
    PlatformReason(error, reason);
    ::wsprintfA(Text, "SETUP.EXE could not %s %s:\n%s", what, path, reason);
    return Tell(MB_ICONSTOP);
}

bool IsFolder(const char* path)
{
    const DWORD attributes = ::GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
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
    return error;
}

// One file of the disk, From to To; `name` is its own. A file of the root
// whose lines the point joins is added to disk 1's.
int CopyFile(PointCopy& copy, const char* name, bool inRoot)
{
    if (inRoot && IsLeftOutOfPoint(name)) return PointMade;
    const DWORD error = CopyChecked(copy.From, copy.To, copy.Disk == 2 && inRoot && IsJoinedPointFile(name));
    return error == ERROR_SUCCESS ? PointMade : Fault("copy", copy.From, error);
}

// The folder at the ends of From and To (each ending in a backslash) and
// everything in it.
int CopyFolder(PointCopy& copy, bool inRoot)
{
    const int fromEnd = ::lstrlenA(copy.From);
    const int toEnd = ::lstrlenA(copy.To);
    const int longer = fromEnd > toEnd ? fromEnd : toEnd;
    ::lstrcpyA(copy.From + fromEnd, "*.*");
    WIN32_FIND_DATAA found;
    HANDLE search = ::FindFirstFileA(copy.From, &found);
    int result = search == INVALID_HANDLE_VALUE ? Fault("copy", copy.From, ::GetLastError()) : PointMade;
    while (result == PointMade) {
        const char* name = found.cFileName;
        const bool folder = found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY;
        if (name[0] == '.' && (!name[1] || (name[1] == '.' && !name[2]))) {
        } else if (longer + ::lstrlenA(name) + SearchTail > MAX_PATH) {
            result = Fault("copy", name, ERROR_FILENAME_EXCED_RANGE);
        } else {
            ::lstrcpyA(copy.From + fromEnd, name);
            ::lstrcpyA(copy.To + toEnd, name);
            if (folder) {
                ::lstrcatA(copy.From, "\\");
                ::lstrcatA(copy.To, "\\");
            }
            result = !folder                ? CopyFile(copy, name, inRoot)
                     : MakeFolder(copy.To) ? CopyFolder(copy, false)
                                           : Fault("make", copy.To, ::GetLastError());
        }
        if (!::FindNextFileA(search, &found)) break;
    }
    if (search != INVALID_HANDLE_VALUE) ::FindClose(search);
    copy.From[fromEnd] = '\0';
    copy.To[toEnd] = '\0';
    return result;
}

// The disk's list, as the installer names it: disk_1.lst, disk_2.lst.
bool ListIsThere(const char* source, int disk)
{
    char list[MAX_PATH];
    ::wsprintfA(list, "%sdisk_%d.lst", source, disk);
    return ::GetFileAttributesA(list) != INVALID_FILE_ATTRIBUTES;
}

// Asks for disk 2 as the installer asks for a disk in a floppy drive, at
// least once and again until its list is there; false at Cancel.
bool AskForDisk2(const char* source)
{
    char prompt[80];
    ::wsprintfA(prompt, DiskPromptFormat, 2, source[0]);
    do {
        if (::MessageBoxA(nullptr, prompt, DiskPromptTitle, MB_OKCANCEL | MB_ICONEXCLAMATION) != IDOK) return false;
    } while (!ListIsThere(source, 2));
    return true;
}
}

int MakeInstallationPoint(const char* source, const char* folder)
{
    static PointCopy copy;
    char* name = nullptr;
    const DWORD length = folder ? ::GetFullPathNameA(folder, MAX_PATH - 1, copy.To, &name) : 0;
    if (length == 0 || length >= MAX_PATH - 1 || !ListIsThere(source, 1)) {
        ::lstrcpyA(Text, "Start SETUP.EXE /A FOLDER from disk 1.");
        return Tell(MB_ICONSTOP);
    }
    if (copy.To[length - 1] != '\\') ::lstrcatA(copy.To, "\\");
    // Not on the drive of the disks, which are swapped (and would copy the copy).
    const bool onDisks = DriveLetterOf(copy.To) == DriveLetterOf(source);
    if (onDisks || !MakeFolder(copy.To))
        return Fault("make", copy.To, onDisks ? ERROR_BAD_PATHNAME : ::GetLastError());

    // Disk 1 leaves the drive: no page of SETUP.EXE may be needed from it then.
    KeepOwnImageResident();
    for (copy.Disk = 1; copy.Disk <= 2; ++copy.Disk) {
        if (copy.Disk == 2 && !AskForDisk2(source)) return PointNotMade;
        ::lstrcpyA(copy.From, source);
        const int result = CopyFolder(copy, true);
        if (result != PointMade) return result;
    }
    ::wsprintfA(Text, "%s is an installation point now.", copy.To);
    return Tell(MB_ICONINFORMATION);
}
