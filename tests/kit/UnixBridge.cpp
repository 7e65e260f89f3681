#include "tests/kit/UnixBridge.h"

#include "tests/kit/CommandLineQuote.h"
#include "tests/kit/FileBytes.h"

#include <atomic>
#include <cstdlib>

namespace {
using UnixNameFunction = char*(CDECL*)(LPCWSTR);
using DosNameFunction = WCHAR*(CDECL*)(LPCSTR);

// Wine's own exports of kernel32; null on Windows.
template <typename Function>
Function WineExport(const char* name)
{
    HMODULE kernel = ::GetModuleHandleA("kernel32.dll");
    FARPROC address = kernel ? ::GetProcAddress(kernel, name) : nullptr;
    return reinterpret_cast<Function>(reinterpret_cast<void*>(address));
}

std::wstring Widen(const std::string& text)
{
    int length = ::MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, nullptr, 0);
    std::wstring wide(length > 0 ? length : 1, L'\0');
    ::MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, &wide[0], length);
    wide.resize(wide.size() - 1);
    return wide;
}

std::string Narrow(const WCHAR* text)
{
    int length = ::WideCharToMultiByte(CP_ACP, 0, text, -1, nullptr, 0, nullptr, nullptr);
    std::string narrow(length > 0 ? length : 1, '\0');
    ::WideCharToMultiByte(CP_ACP, 0, text, -1, &narrow[0], length, nullptr, nullptr);
    narrow.resize(narrow.size() - 1);
    return narrow;
}
}

std::string ToUnixPath(const std::string& windowsPath)
{
    auto convert = WineExport<UnixNameFunction>("wine_get_unix_file_name");
    if (!convert) return std::string();
    char* name = convert(Widen(windowsPath).c_str());
    if (!name) return std::string();
    std::string result = name;
    ::HeapFree(::GetProcessHeap(), 0, name);
    return result;
}

std::string ToWindowsPath(const std::string& unixPath)
{
    auto convert = WineExport<DosNameFunction>("wine_get_dos_file_name");
    if (!convert) return std::string();
    WCHAR* name = convert(unixPath.c_str());
    if (!name) return std::string();
    std::string result = Narrow(name);
    ::HeapFree(::GetProcessHeap(), 0, name);
    return result;
}

int RunUnixShell(const std::string& script, const std::vector<std::string>& arguments, DWORD timeoutMs)
{
    std::string shell = ToWindowsPath("/bin/sh");
    if (shell.empty()) return -1;

    static std::atomic<unsigned> serial{0};
    char temp[MAX_PATH];
    ::GetTempPathA(sizeof temp, temp);
    std::string done = std::string(temp) + "tskit-sh-" + std::to_string(::GetCurrentProcessId()) + "-" +
                       std::to_string(serial++) + ".status";
    std::string doneUnix = ToUnixPath(done);
    if (doneUnix.empty()) return -1;
    ::DeleteFileA(done.c_str());

    // $0 names the status file; the script sees its own arguments as $1...
    std::vector<std::string> line{shell, "-c",
                                  "( " + script + "\n); echo $? > \"$0.part\"; mv -f \"$0.part\" \"$0\"",
                                  doneUnix};
    line.insert(line.end(), arguments.begin(), arguments.end());
    std::vector<char> commandLine = CommandLineBuffer(line);
    // Not through StartProcess, which closes the handles it is given back:
    // with the shell started there, installers that the end-to-end tests
    // started afterwards never appeared on the test's desktop (Wine 8; most
    // likely the desktop's own handle closed, see below).
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!::CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr,
                          &startup, &process))
        return -1;
    // Not closed: Wine starts a Unix program by fork and exec and fills the
    // process information from memory it never set (the trace shows random
    // process ids), so the "handles" may be any of this program's own, its
    // registry keys and output pipe among them. The status file tells the end.

    DWORD start = ::GetTickCount();
    std::string status;
    while (!ReadFileBytes(done, status)) {
        if (::GetTickCount() - start > timeoutMs) return -1;
        ::Sleep(5);
    }
    ::DeleteFileA(done.c_str());
    return std::atoi(status.c_str());
}
