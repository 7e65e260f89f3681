#include "tests/kit/ReportedWindows.h"

#include <windows.h>

namespace {
LONG Write(const std::string& key, const std::string& value)
{
    HKEY handle;
    LONG result =
        ::RegCreateKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &handle, nullptr);
    if (result != ERROR_SUCCESS) return result;
    result = ::RegSetValueExA(handle, "Version", 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                              static_cast<DWORD>(value.size() + 1));
    ::RegCloseKey(handle);
    return result;
}
}

ReportedWindows::ReportedWindows(const std::string& program, const std::string& version)
    : Key("Software\\Wine\\AppDefaults\\" + program)
{
    char value[64] = {};
    DWORD size = sizeof value;
    HadEarlier = ::RegGetValueA(HKEY_CURRENT_USER, Key.c_str(), "Version", RRF_RT_REG_SZ, nullptr, value, &size) ==
                 ERROR_SUCCESS;
    if (HadEarlier) Earlier = value;
    Failure = Write(Key, version);
    Done = Failure == ERROR_SUCCESS;
}

ReportedWindows::~ReportedWindows()
{
    if (!Done) return;
    if (HadEarlier) {
        Write(Key, Earlier);
    } else {
        HKEY handle;
        if (::RegOpenKeyExA(HKEY_CURRENT_USER, Key.c_str(), 0, KEY_SET_VALUE, &handle) == ERROR_SUCCESS) {
            ::RegDeleteValueA(handle, "Version");
            ::RegCloseKey(handle);
        }
    }
}
