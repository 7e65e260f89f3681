#include "shell/InstallWindow.h"

#include "engine/plain/InstallRecord.h"
#include "engine/plain/RemovalRegistration.h"
#include "shell/plain/PathHelpers.h"
#include "shell/plain/Settings.h"

#include <string>

namespace {
bool SetText(HKEY key, const char* name, const std::string& text)
{
    // The size counts the terminating NUL, as both systems take it.
    return ::RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                            static_cast<DWORD>(text.size() + 1)) == ERROR_SUCCESS;
}

// The Uninstall key naming the removal program; false where it cannot be
// written (NT refuses it to a user who is not an administrator).
bool WriteUninstallKey(const std::string& removalProgram)
{
    HKEY opened = nullptr;
    if (::RegCreateKeyExA(HKEY_LOCAL_MACHINE, kUninstallKeyPath, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_SET_VALUE,
                          nullptr, &opened, nullptr) != ERROR_SUCCESS)
        return false;
    TRegistryKey key(opened);
    return SetText(key.Get(), "DisplayName", kRecordedProductName) &&
           SetText(key.Get(), "UninstallString", removalProgram);
}
}

void TInstallWindow::RegisterRemoval()
{
    RemovalItem = false;
    if (!RemovalInstalled) return;
    if (HasAddRemovePrograms(::GetVersion())) {
        // The registration's line is on the disk before the key is written.
        const std::string program = JoinedPath(Settings.TargetDirectory, kRemovalProgramName);
        if (Record.Append(RecordedRegistrationLine()) && WriteUninstallKey(program)) {
            LogNote("registered for Add/Remove Programs");
            return;
        }
    }
    RemovalItem = true;
}
