#include "engine/ScratchFile.h"

#include "engine/plain/LzErrors.h"
#include "engine/plain/ScratchName.h"

namespace {
// Whether a failed create says only that this name is taken: the next one
// may still do. Anything else (a full or write-protected disk, a missing
// folder) fails every name alike.
bool NameIsTaken(DWORD error)
{
    return error == ERROR_ACCESS_DENIED || error == ERROR_SHARING_VIOLATION || error == ERROR_FILE_EXISTS ||
           error == ERROR_ALREADY_EXISTS;
}

// Moves the file at `from` onto `to`, replacing it. Windows NT does that in
// one step. Windows 95 knows no replacing move: there the old file goes
// first, and an interruption between the two steps leaves the whole new
// file under its scratch name and none under the installed name.
bool ReplaceWith(const char* from, const char* to)
{
    using MoveFileExFunction = BOOL(WINAPI*)(LPCSTR, LPCSTR, DWORD);
    const bool windowsNt = (::GetVersion() & 0x80000000u) == 0;
    auto moveFileEx = windowsNt ? reinterpret_cast<MoveFileExFunction>(reinterpret_cast<void*>(
                                      ::GetProcAddress(::GetModuleHandleA("KERNEL32.DLL"), "MoveFileExA")))
                                : nullptr;
    if (moveFileEx) return moveFileEx(from, to, MOVEFILE_REPLACE_EXISTING) != 0;
    if (::GetFileAttributesA(to) != INVALID_FILE_ATTRIBUTES && !::DeleteFileA(to)) return false;
    return ::MoveFileA(from, to) != 0;
}
}

long TScratchFile::Create(const std::string& folder)
{
    Discard();
    for (int number = 0; number < kScratchNames; ++number) {
        char name[kScratchNameSize];
        ScratchName(number, name);
        Path = folder + name;
        Handle.Reset(::CreateFileA(Path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                   nullptr));
        if (Handle.IsValid()) return 0;
        if (!NameIsTaken(::GetLastError())) break;
    }
    Path.clear();
    return kLzBadOutHandle;
}

long TScratchFile::Commit(const char* installed, const FILETIME& released)
{
    if (released.dwLowDateTime || released.dwHighDateTime) ::SetFileTime(Handle.Get(), nullptr, nullptr, &released);
    Handle.Reset();
    if (!ReplaceWith(Path.c_str(), installed)) {
        Discard();
        return kLzBadOutHandle;
    }
    Path.clear();
    return 0;
}

void TScratchFile::Discard()
{
    Handle.Reset();
    if (!Path.empty()) ::DeleteFileA(Path.c_str());
    Path.clear();
}
