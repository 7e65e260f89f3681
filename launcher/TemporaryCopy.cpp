#include "launcher/TemporaryCopy.h"

#include "launcher/plain/LaunchPlan.h"

namespace {
// Joins a folder and a name into `path` with one backslash between; false when
// it does not fit.
bool Join(char* path, const char* folder, const char* name)
{
    int length = ::lstrlenA(folder);
    if (length + 1 + ::lstrlenA(name) >= MAX_PATH) return false;
    ::lstrcpyA(path, folder);
    if (length == 0 || path[length - 1] != '\\') ::lstrcatA(path, "\\");
    ::lstrcatA(path, name);
    return true;
}

// A file whose image the system still holds (the installer's own, a moment
// after its end) is tried again for a while.
bool Retry(bool (*attempt)(const char*), const char* path)
{
    for (int tries = 0; tries < 20; ++tries) {
        if (attempt(path)) return true;
        ::Sleep(100);
    }
    return false;
}

bool DeleteOne(const char* path)
{
    ::SetFileAttributesA(path, FILE_ATTRIBUTE_NORMAL);
    return ::DeleteFileA(path) || ::GetFileAttributesA(path) == INVALID_FILE_ATTRIBUTES;
}

bool RemoveFolder(const char* path)
{
    return ::RemoveDirectoryA(path) != 0;
}

bool SizeOf(const char* path, DWORD& high, DWORD& low)
{
    WIN32_FIND_DATAA found;
    HANDLE search = ::FindFirstFileA(path, &found);
    if (search == INVALID_HANDLE_VALUE) return false;
    ::FindClose(search);
    high = found.nFileSizeHigh;
    low = found.nFileSizeLow;
    return true;
}

bool SameSize(const char* path, const char* other)
{
    DWORD high, low, otherHigh, otherLow;
    return SizeOf(path, high, low) && SizeOf(other, otherHigh, otherLow) && high == otherHigh && low == otherLow;
}
}

bool ChooseTemporaryFolder(const char* sourceFolder, char* folder, DWORD size)
{
    char temporary[MAX_PATH];
    DWORD length = ::GetTempPathA(sizeof temporary, temporary);
    if (length == 0 || length >= sizeof temporary) return false;
    // The short form keeps the paths the installer and the help viewer get short.
    length = ::GetShortPathNameA(temporary, folder, size);
    if (length == 0 || length >= size) return false;
    // A folder on a network share is never on a removable drive; one on the
    // share the disks were copied to is used all the same.
    char root[] = "X:\\";
    root[0] = DriveLetterOf(folder);
    if (root[0] && (root[0] == DriveLetterOf(sourceFolder) || ::GetDriveTypeA(root) == DRIVE_REMOVABLE)) return false;
    char name[kTemporaryFolderNameSize];
    TemporaryFolderName(0, name);
    char copy[MAX_PATH];
    return Join(copy, folder, name) && HelpFileFitsViewer(copy);
}

TemporaryCopy::~TemporaryCopy()
{
    Remove();
}

bool TemporaryCopy::CreateFolder(const char* temporary)
{
    char name[kTemporaryFolderNameSize];
    const DWORD seed = ::GetCurrentProcessId();
    for (DWORD attempt = 0; attempt < 64; ++attempt) {
        TemporaryFolderName(seed + attempt, name);
        if (!Join(Path, temporary, name)) break;
        if (::CreateDirectoryA(Path, nullptr)) return true;
        // Only a name already taken is worth another try.
        if (::GetLastError() != ERROR_ALREADY_EXISTS) break;
    }
    Path[0] = '\0';
    return false;
}

bool TemporaryCopy::CopyIn(const char* sourceFolder, const char* name, bool required)
{
    char from[MAX_PATH];
    char to[MAX_PATH];
    if (!Join(from, sourceFolder, name) || !Join(to, Path, name)) return false;
    if (!required && ::GetFileAttributesA(from) == INVALID_FILE_ATTRIBUTES) return true;
    if (!Copy(from, to, TRUE)) return false;
    // A floppy's read-only flag comes along with the copy and would keep it from being removed.
    ::SetFileAttributesA(to, FILE_ATTRIBUTE_NORMAL);
    if (!SameSize(from, to)) return false;
    if (required) ::lstrcpyA(InstallerPath, to);
    return true;
}

bool TemporaryCopy::Make(const char* temporaryFolder, const char* sourceFolder, const char* installer)
{
    if (!CreateFolder(temporaryFolder)) return false;
    bool copied = CopyIn(sourceFolder, installer, true);
    for (std::size_t i = 0; copied && i < CompanionFileCount; ++i)
        copied = CopyIn(sourceFolder, CompanionFiles[i], false);
    if (!copied) Remove();
    return copied;
}

void TemporaryCopy::Remove()
{
    if (!Path[0]) return;
    char pattern[MAX_PATH];
    if (Join(pattern, Path, "*.*")) {
        WIN32_FIND_DATAA found;
        HANDLE search = ::FindFirstFileA(pattern, &found);
        if (search != INVALID_HANDLE_VALUE) {
            do {
                char file[MAX_PATH];
                if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && Join(file, Path, found.cFileName))
                    Retry(DeleteOne, file);
            } while (::FindNextFileA(search, &found));
            ::FindClose(search);
        }
    }
    Retry(RemoveFolder, Path);
    Path[0] = '\0';
    InstallerPath[0] = '\0';
}
