#include "remover/StartUpDeletion.h"

#include "framework/UniqueHandle.h"
#include "engine/plain/DeletionAtStart.h"
#include "shell/plain/FormatText.h"
#include "shell/plain/PathHelpers.h"


namespace {
// WININIT.INI is a few lines; one larger than this is not touched.
constexpr DWORD WininitLimit = 65536;

// Windows 95 deletes at its next start what WININIT.INI's [rename] section
// gives to NUL, by the short name (it runs before long names are known).
// The section may hold other programs' lines: the file is read whole and
// written back with one line more.
bool DeleteAtWindows95Start(const char* path)
{
    char shortPath[MAX_PATH];
    char windows[MAX_PATH];
    char wininit[MAX_PATH + 16];
    const DWORD length = ::GetShortPathNameA(path, shortPath, sizeof shortPath);
    const UINT folderLength = ::GetWindowsDirectoryA(windows, sizeof windows);
    if (length == 0 || length >= sizeof shortPath || folderLength == 0 || folderLength >= sizeof windows) return false;
    FormatText(wininit, sizeof wininit, "%s%sWININIT.INI", windows, EndsWithBackslash(windows) ? "" : "\\");
    TFile file(::CreateFileA(wininit, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                             nullptr));
    const DWORD size = file.IsValid() ? ::GetFileSize(file.Get(), nullptr) : INVALID_FILE_SIZE;
    if (size == INVALID_FILE_SIZE || size > WininitLimit) return false;
    char* text = new char[2 * size + kWininitGrowth];
    char* edited = text + size;
    DWORD done = 0;
    bool written = ::ReadFile(file.Get(), text, size, &done, nullptr) && done == size;
    if (written) {
        const DWORD total = static_cast<DWORD>(WithDeletionAtStart(text, size, shortPath, edited));
        written = ::SetFilePointer(file.Get(), 0, nullptr, FILE_BEGIN) == 0 &&
                  ::WriteFile(file.Get(), edited, total, &done, nullptr) && done == total &&
                  ::SetEndOfFile(file.Get()) && ::FlushFileBuffers(file.Get());
    }
    delete[] text;
    return written;
}

// Windows NT does it through MoveFileExA, which needs the right to write the
// system's list of such steps (an administrator's). The Windows 95 KERNEL32
// exports the function without doing it, so it is looked up only on NT.
bool DeleteAtNtStart(const char* path, const char* folder)
{
    using MoveFileExFunction = BOOL(WINAPI*)(const char*, const char*, DWORD);
    const HMODULE kernel = ::GetModuleHandleA("KERNEL32");
    const auto moveFileEx = kernel ? reinterpret_cast<MoveFileExFunction>(
                                         reinterpret_cast<void*>(::GetProcAddress(kernel, "MoveFileExA")))
                                   : nullptr;
    if (!moveFileEx || !moveFileEx(path, nullptr, MOVEFILE_DELAY_UNTIL_REBOOT)) return false;
    // The system removes a folder at its start only when it is empty then.
    if (folder) moveFileEx(folder, nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
    return true;
}
}

bool DeleteAtNextStart(const char* path, const char* folder)
{
    // The top bit of the version is set on Windows 95, clear on NT.
    if (::GetVersion() & 0x80000000u) return DeleteAtWindows95Start(path);
    return DeleteAtNtStart(path, folder);
}
