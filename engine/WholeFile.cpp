#include "engine/WholeFile.h"

#include "engine/ExpansionLoop.h"
#include "framework/UniqueHandle.h"
#include "shell/plain/PathHelpers.h"


namespace {
// The directory entry of exactly `path` (a wildcard would find another).
bool FindEntry(const std::string& path, WIN32_FIND_DATAA& found)
{
    if (path.find_first_of("*?") != std::string::npos) return false;
    const HANDLE search = ::FindFirstFileA(path.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return false;
    ::FindClose(search);
    return true;
}
}

bool IsAlreadyWhole(const std::string& path, const ExpectedContents& expected, FILETIME& written)
{
    written = FILETIME{};
    WIN32_FIND_DATAA found;
    if (!expected.Known || !FindEntry(path, found)) return false;
    // Another case of the name is left to the expansion, which gives the
    // file the list's; a file that could not be replaced is reported as such.
    const DWORD kept = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_DIRECTORY;
    if (std::string(FileNamePart(path.c_str())) != found.cFileName || (found.dwFileAttributes & kept) ||
        found.nFileSizeHigh != 0 || found.nFileSizeLow != expected.Size)
        return false;
    TFile file(::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                             FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    ExpandedContents held;
    if (!file.IsValid() || ::GetFileType(file.Get()) != FILE_TYPE_DISK || !CountContents(file.Get(), held)) return false;
    written = found.ftLastWriteTime;
    return held.Crc == expected.Crc && held.Size == expected.Size;
}

void DateAsReleased(const std::string& path, const FILETIME& written, const std::string& source)
{
    WIN32_FIND_DATAA found;
    if (!FindEntry(source, found)) return;
    const FILETIME& released = found.ftLastWriteTime;
    if (released.dwLowDateTime == written.dwLowDateTime && released.dwHighDateTime == written.dwHighDateTime) return;
    TFile file(::CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                             FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file.IsValid()) ::SetFileTime(file.Get(), nullptr, nullptr, &released);
}
