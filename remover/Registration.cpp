#include "remover/Registration.h"

#include "engine/plain/RemovalRegistration.h"
#include "remover/plain/RemovalPlan.h"

#include <windows.h>

#include <cstring>

namespace {
// The key's UninstallString; false when there is no key or no such text.
bool UninstallString(char* value, DWORD size)
{
    HKEY key = nullptr;
    if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, kUninstallKeyPath, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return false;
    DWORD type = 0;
    const LONG result =
        ::RegQueryValueExA(key, "UninstallString", nullptr, &type, reinterpret_cast<BYTE*>(value), &size);
    ::RegCloseKey(key);
    return result == ERROR_SUCCESS && type == REG_SZ && size > 0 && value[size - 1] == '\0';
}

// The path's short (8.3) form; false when it has none.
bool ShortForm(const char* path, char* shortPath)
{
    const DWORD length = ::GetShortPathNameA(path, shortPath, MAX_PATH);
    return length > 0 && length < MAX_PATH;
}
}

RegistrationState RegistrationOf(const char* ownPath)
{
    char value[MAX_PATH + 3];
    if (!UninstallString(value, sizeof value)) return RegistrationState::Absent;
    // The registration and the start may each name the program by its long
    // or its short form, the registration in quotes: their short forms are
    // compared (a path that names no file has none).
    char* path = value;
    if (value[0] == '"') {
        ++path;
        path[std::strlen(path) - 1] = '\0';
    }
    char ownShort[MAX_PATH];
    char valueShort[MAX_PATH];
    return ShortForm(ownPath, ownShort) && ShortForm(path, valueShort) && SameName(valueShort, ownShort)
               ? RegistrationState::Ours
               : RegistrationState::Another;
}

bool DeleteRegistration()
{
    return ::RegDeleteKeyA(HKEY_LOCAL_MACHINE, kUninstallKeyPath) == ERROR_SUCCESS;
}
