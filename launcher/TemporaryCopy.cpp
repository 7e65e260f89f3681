#include "launcher/TemporaryCopy.h"

#include "engine/plain/ChecksumList.h"
#include "engine/plain/Crc32.h"
#include "engine/plain/LzErrors.h"
#include "framework/UniqueHandle.h"

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

// Whether `line` is a whole line of the checksum list read (ListedText).
char ListedText[1024];
bool IsListed(const char* line)
{
    const int length = ::lstrlenA(line);
    for (const char* p = ListedText; *p; ++p) {
        const char* end = p;
        while (*end && *end != '\r' && *end != '\n') ++end;
        int i = 0;
        while (i < length && p + i < end && p[i] == line[i]) ++i;
        if (i == length && p + i == end) return true;
        p = *end ? end : end - 1;
    }
    return false;
}

bool RemoveFolder(const char* path)
{
    return ::RemoveDirectoryA(path) != 0;
}

// What a file of the disk expands to, from the library's own reading of its
// header (a plain file: its size); -1 when it cannot be opened or its header
// is one the library would "copy" wrongly.
LONG ExpandedLength(const char* path)
{
    TFile raw(::CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                            nullptr));
    unsigned char head[kLzHeaderSize];
    DWORD read = 0;
    if (!raw.IsValid() || !::ReadFile(raw.Get(), head, sizeof head, &read, nullptr) ||
        CompressedHeaderFault(head, read) != 0)
        return -1;
    raw.Reset();
    OFSTRUCT info = {};
    TLzFile file(::LZOpenFileA(const_cast<char*>(path), &info, OF_READ));
    return file.IsValid() ? ::LZSeek(file.Get(), 0, 2) : -1;
}

// Short (8.3) forms keep the paths the installer and the help viewer get short.
void ProbeFolder(char* folder, CopyPlaceProbe& probe)
{
    char shortForm[MAX_PATH];
    DWORD length = folder[0] ? ::GetShortPathNameA(folder, shortForm, sizeof shortForm) : 0;
    if (length > 0 && length < sizeof shortForm) ::lstrcpyA(folder, shortForm);
    probe.Folder = folder;
    const DWORD attributes = ::GetFileAttributesA(folder);
    probe.Exists = attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
    if (!probe.Exists) return;
    // A folder on a network share (no drive letter) is taken as on a hard disk.
    char root[] = "X:\\";
    root[0] = DriveLetterOf(folder);
    const UINT type = root[0] ? ::GetDriveTypeA(root) : DRIVE_REMOTE;
    probe.HardDisk = type == DRIVE_FIXED || type == DRIVE_REMOTE || type == DRIVE_RAMDISK;
    DWORD sectorsPerCluster, bytesPerSector, freeClusters, clusters;
    probe.FreeKnown = root[0] && ::GetDiskFreeSpaceA(root, &sectorsPerCluster, &bytesPerSector, &freeClusters,
                                                     &clusters);
    if (!probe.FreeKnown) return;
    probe.ClusterBytes = sectorsPerCluster * bytesPerSector;
    probe.FreeBytes = static_cast<std::uint64_t>(freeClusters) * probe.ClusterBytes;
}
}

CopyPlaces::CopyPlaces()
{
    char temporary[MAX_PATH] = {};
    DWORD length = ::GetTempPathA(sizeof temporary, temporary);
    if (length == 0 || length >= sizeof temporary) temporary[0] = '\0';
    char windows[MAX_PATH] = {};
    length = ::GetWindowsDirectoryA(windows, sizeof windows);
    if (length == 0 || length >= sizeof windows) windows[0] = '\0';
    ListCopyPlaces(temporary, windows, Folders);
    for (std::size_t i = 0; i < kCopyPlaceCount; ++i) ProbeFolder(Folders[i], Probe[i]);
}

TemporaryCopy::~TemporaryCopy()
{
    Remove();
}

bool TemporaryCopy::SourceOf(const DiskFile& file, char* path) const
{
    if (!Join(path, SourceFolder, file.Name)) return false;
    // The compressed file's name: the last character replaced by '_'.
    if (file.Compressed) path[::lstrlenA(path) - 1] = '_';
    return true;
}

bool TemporaryCopy::Find(const char* sourceFolder, const char* installer, const char* engine, bool windowless)
{
    SourceFolder = sourceFolder;
    CompanionFile wanted[LaunchFileCount];
    ListLaunchFiles(installer, engine, windowless, wanted);
    for (const CompanionFile& one : wanted) {
        const char* name = one.Name;
        DiskFile& file = Files[FileCount];
        file.Name = name;
        file.Late = one.AfterMainWindow;
        // A release's disk 1 holds the compressed form, an older one the file itself.
        char path[MAX_PATH];
        path[0] = '\0';
        file.Compressed = true;
        while (!SourceOf(file, path) || ::GetFileAttributesA(path) == INVALID_FILE_ATTRIBUTES) {
            if (!file.Compressed) break;
            file.Compressed = false;
        }
        if (::GetFileAttributesA(path) == INVALID_FILE_ATTRIBUTES) {
            if (name == installer) return false;
            continue;  // a companion the disk lacks
        }
        file.Length = ExpandedLength(path);
        ++FileCount;
        Needed.Bytes += file.Length > 0 ? file.Length : 0;
        ++Needed.Files;
    }
    ReadChecksums();
    return true;
}

// The folder's own checksum list, a line "CRC32 SIZE NAME" for each of its
// files as the builder writes a disk's (upper-case hexadecimal digits and
// names); the text of one that does not fit is no list any file is on.
__attribute__((noinline)) void TemporaryCopy::ReadChecksums()
{
    char path[MAX_PATH];
    if (!Join(path, SourceFolder, kChecksumListName)) return;
    TFile list(::CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                             nullptr));
    if (!list.IsValid()) return;
    ChecksumsListed = true;
    DWORD size = 0;
    if (!::ReadFile(list.Get(), ListedText, sizeof ListedText - 1, &size, nullptr) || size == sizeof ListedText - 1)
        size = 0;
    ListedText[size] = '\0';
}

bool TemporaryCopy::CreateFolder(const char* place)
{
    char name[kTemporaryFolderNameSize];
    const DWORD seed = ::GetCurrentProcessId();
    for (DWORD attempt = 0; attempt < 64; ++attempt) {
        TemporaryFolderName(seed + attempt, name);
        if (!Join(Path, place, name)) break;
        if (::CreateDirectoryA(Path, nullptr)) return true;
        // Only a name already taken is worth another try.
        if (::GetLastError() != ERROR_ALREADY_EXISTS) break;
    }
    Path[0] = '\0';
    return false;
}

__attribute__((noinline)) TemporaryCopy::Result TemporaryCopy::ExpandIn(const DiskFile& file, const char* name, char* to)
{
    OFSTRUCT info = {};
    if (!SourceOf(file, ReadingPath)) return Result::SourceDamaged;
    TLzFile source(file.Length < 0 ? -1 : ::LZOpenFileA(ReadingPath, &info, OF_READ));
    if (!source.IsValid()) return Result::SourceDamaged;
    if (!Join(to, Path, name)) return Result::PlaceFailed;
    TFile destination(
        ::CreateFileA(to, GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!destination.IsValid()) return Result::PlaceFailed;
    // The library writes to a file handle in its own form.
    const LONG written = Expand(source.Get(), static_cast<INT>(reinterpret_cast<INT_PTR>(destination.Get())));
    // A read error, or a compressed file cut short, which expands "successfully" to fewer bytes.
    if (written == kLzRead || written == kLzBadInHandle || (written >= 0 && written != file.Length))
        return Result::SourceDamaged;
    // A read error can also end a plain copy early while the library reports it done.
    if (written < 0 || ::GetFileSize(destination.Get(), nullptr) != static_cast<DWORD>(written))
        return Result::PlaceFailed;
    // What reached the hard disk is what its list says: one changed byte
    // expands to the right length all the same.
    if (!ChecksumsListed) return Result::Made;
    if (::SetFilePointer(destination.Get(), 0, nullptr, FILE_BEGIN) != 0) return Result::PlaceFailed;
    unsigned char buffer[1024];
    std::uint32_t crc = 0;
    for (DWORD read = 0; ::ReadFile(destination.Get(), buffer, sizeof buffer, &read, nullptr) && read > 0;)
        crc = Crc32(crc, buffer, read);
    char line[MAX_PATH + 24];
    ::wsprintfA(line, "%08lX %ld %s", static_cast<unsigned long>(crc), written,
                ReadingPath + ::lstrlenA(SourceFolder));
    return IsListed(line) ? Result::Made : Result::SourceDamaged;
}

TemporaryCopy::Result TemporaryCopy::Make(const char* place)
{
    if (!CreateFolder(place)) return Result::PlaceFailed;
    Result result = Result::Made;
    for (std::size_t i = 0; i < FileCount && result == Result::Made; ++i) {
        if (Files[i].Late) continue;
        char to[MAX_PATH];
        result = ExpandIn(Files[i], Files[i].Name, to);
        if (result == Result::Made && i == 0) ::lstrcpyA(InstallerPath, to);
    }
    if (result != Result::Made) Remove();
    return result;
}

void TemporaryCopy::AddLateFiles()
{
    for (std::size_t i = 0; Path[0] && i < FileCount; ++i) {
        if (!Files[i].Late) continue;
        char scratch[MAX_PATH] = {};
        char whole[MAX_PATH];
        const Result result = ExpandIn(Files[i], "~LATE.TMP", scratch);
        if (result != Result::Made || !Join(whole, Path, Files[i].Name) || !::MoveFileA(scratch, whole))
            if (scratch[0]) Retry(DeleteOne, scratch);
    }
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
