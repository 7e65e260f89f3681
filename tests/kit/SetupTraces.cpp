#include "tests/kit/SetupTraces.h"

std::string WindowsTemporaryFolder()
{
    char windows[MAX_PATH] = {};
    ::GetWindowsDirectoryA(windows, sizeof windows);
    char folder[MAX_PATH] = {};
    ::GetShortPathNameA((std::string(windows) + "\\TEMP").c_str(), folder, sizeof folder);
    return folder;
}

std::set<std::string> SetupTemporaryFolders()
{
    char temporary[MAX_PATH] = {};
    ::GetTempPathA(sizeof temporary, temporary);
    const std::string windowsTemporary = WindowsTemporaryFolder();
    std::set<std::string> found;
    for (std::string place : {std::string(temporary), windowsTemporary + "\\", windowsTemporary.substr(0, 3)}) {
        WIN32_FIND_DATAA data;
        HANDLE search = ::FindFirstFileA((place + "TSW*.TMP").c_str(), &data);
        if (search == INVALID_HANDLE_VALUE) continue;
        do found.insert(place + data.cFileName);
        while (::FindNextFileA(search, &data));
        ::FindClose(search);
    }
    return found;
}

bool WaitForFile(const std::string& path, DWORD timeoutMs)
{
    for (DWORD start = ::GetTickCount(); ::GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES;) {
        if (::GetTickCount() - start >= timeoutMs) return false;
        ::Sleep(50);
    }
    return true;
}

std::string ProcessImage(DWORD processId)
{
    // Declared for newer systems than the installer's headers are set for.
    using QueryImageName = BOOL(WINAPI*)(HANDLE, DWORD, LPSTR, PDWORD);
    auto query = reinterpret_cast<QueryImageName>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleA("kernel32.dll"), "QueryFullProcessImageNameA")));
    if (!query) return std::string();
    HANDLE process = ::OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, processId);
    if (!process) return std::string();
    char path[MAX_PATH] = {};
    DWORD size = sizeof path;
    if (!query(process, 0, path, &size)) path[0] = '\0';
    ::CloseHandle(process);
    return path;
}
