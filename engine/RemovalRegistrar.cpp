#include "shell/InstallWindow.h"

#include "engine/plain/DeletionAtStart.h"
#include "engine/plain/InstallRecord.h"
#include "engine/plain/RemovalRegistration.h"
#include "shell/plain/PathHelpers.h"
#include "shell/plain/Settings.h"

#include <string>
#include <vector>

namespace {
// WININIT.INI and the pending renames are a few lines; larger ones are not touched.
constexpr DWORD DeletionListLimit = 65536;

bool SetText(HKEY key, const char* name, const std::string& text)
{
    // The size counts the terminating NUL, as both systems take it.
    return ::RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                            static_cast<DWORD>(text.size() + 1)) == ERROR_SUCCESS;
}

// The Uninstall key naming the removal program; false where it cannot be
// written (NT refuses it to a user who is not an administrator).
bool WriteUninstallKey(const std::string& command)
{
    HKEY opened = nullptr;
    if (::RegCreateKeyExA(HKEY_LOCAL_MACHINE, kUninstallKeyPath, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_SET_VALUE,
                          nullptr, &opened, nullptr) != ERROR_SUCCESS)
        return false;
    TRegistryKey key(opened);
    return SetText(key.Get(), "DisplayName", kRecordedProductName) && SetText(key.Get(), "UninstallString", command);
}

// The platform's short form of an existing path; empty when it has none.
std::string ShortPath(const std::string& path)
{
    char buffer[MAX_PATH];
    const DWORD length = ::GetShortPathNameA(path.c_str(), buffer, sizeof buffer);
    return length > 0 && length < sizeof buffer ? std::string(buffer, length) : std::string();
}

// The short form of an existing path, upper-cased to be compared; empty when it has none.
std::string ShortForm(const std::string& path)
{
    std::string shortPath = ShortPath(path);
    UpperCaseAscii(&shortPath[0]);
    return shortPath;
}

// Windows 95: the [rename] line an earlier removal wrote for the file.
bool TakeBackWindows95Deletion(const std::string& shortProgram)
{
    char windows[MAX_PATH];
    const UINT folderLength = ::GetWindowsDirectoryA(windows, sizeof windows);
    if (folderLength == 0 || folderLength >= sizeof windows) return false;
    TFile file(::CreateFileA(JoinedPath(windows, "WININIT.INI").c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                             OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.IsValid()) return ::GetLastError() == ERROR_FILE_NOT_FOUND;
    const DWORD size = ::GetFileSize(file.Get(), nullptr);
    if (size == INVALID_FILE_SIZE || size > DeletionListLimit) return false;
    std::vector<char> text(2 * size + 1);
    DWORD done = 0;
    if (!::ReadFile(file.Get(), text.data(), size, &done, nullptr) || done != size) return false;
    const DWORD kept = static_cast<DWORD>(WithoutDeletionAtStart(text.data(), size, shortProgram.c_str(),
                                                                 text.data() + size));
    if (kept == size) return true;
    return ::SetFilePointer(file.Get(), 0, nullptr, FILE_BEGIN) == 0 &&
           ::WriteFile(file.Get(), text.data() + size, kept, &done, nullptr) && done == kept &&
           ::SetEndOfFile(file.Get()) && ::FlushFileBuffers(file.Get());
}

// The short forms of the removal program and of its folder; a pending
// deletion is taken back when its path names either (in any form).
struct Installed {
    std::string Program;
    std::string Folder;
};

bool NamesInstalled(const char* path, void* context)
{
    const Installed& installed = *static_cast<const Installed*>(context);
    std::string shortPath = ShortForm(path);
    if (shortPath.size() > 3 && shortPath.back() == '\\') shortPath.pop_back();
    return !shortPath.empty() && (shortPath == installed.Program || shortPath == installed.Folder);
}

HKEY OpenSessionManager(REGSAM access)
{
    HKEY key = nullptr;
    return ::RegCreateKeyExA(HKEY_LOCAL_MACHINE, "System\\CurrentControlSet\\Control\\Session Manager", 0, nullptr,
                             REG_OPTION_NON_VOLATILE, access, nullptr, &key, nullptr) == ERROR_SUCCESS
               ? key
               : nullptr;
}

// NT: the pending deletions of the file and its folder, as MoveFileExA
// wrote them (no function takes one back). Writing them needs an
// administrator's rights, as the removal's deletion did.
bool TakeBackNtDeletions(Installed& installed)
{
    const char* const pending = "PendingFileRenameOperations";
    std::vector<char> names;
    DWORD size = 0;
    {
        TRegistryKey key(OpenSessionManager(KEY_QUERY_VALUE));
        DWORD type = 0;
        if (!key.IsValid() || ::RegQueryValueExA(key.Get(), pending, nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
            type != REG_MULTI_SZ || size > DeletionListLimit)
            return true;
        names.resize(2 * size + 2);
        if (::RegQueryValueExA(key.Get(), pending, nullptr, &type, reinterpret_cast<BYTE*>(names.data()), &size) !=
            ERROR_SUCCESS)
            return false;
    }
    const DWORD kept = static_cast<DWORD>(
        WithoutPendingDeletions(names.data(), size, NamesInstalled, &installed, names.data() + size));
    if (kept == size) return true;
    TRegistryKey key(OpenSessionManager(KEY_SET_VALUE));
    return key.IsValid() && ::RegSetValueExA(key.Get(), pending, 0, REG_MULTI_SZ,
                                             reinterpret_cast<const BYTE*>(names.data() + size), kept) == ERROR_SUCCESS;
}

// A removal of an earlier installation in this folder, before the system
// started again, gave the removal program (and on NT the folder) to the next
// start, which deletes by path whatever is there then: the file this
// installation has just put there.
bool TakeBackDeletionsAtStart(const std::string& program)
{
    Installed installed = {ShortForm(program), std::string()};
    if (installed.Program.empty()) return false;
    installed.Folder = installed.Program.substr(0, installed.Program.rfind('\\'));
    // The top bit of the version is set on Windows 95, clear on NT.
    if (::GetVersion() & 0x80000000u) return TakeBackWindows95Deletion(installed.Program);
    return TakeBackNtDeletions(installed);
}
}

void TInstallWindow::RegisterRemoval()
{
    RemovalItem = false;
    if (!RemovalInstalled) return;
    const std::string program = JoinedPath(Settings.TargetDirectory, kRemovalProgramName);
    if (!TakeBackDeletionsAtStart(program))
        LogNote("the system may still delete TSWREMOV.EXE at its next start");
    if (HasAddRemovePrograms(::GetVersion())) {
        // The registration's line is on the disk before the key is written.
        if (Record.Append(RecordedRegistrationLine()) &&
            WriteUninstallKey(UninstallCommand(program, ShortPath(program)))) {
            LogNote("registered for Add/Remove Programs");
            return;
        }
    }
    RemovalItem = true;
}
