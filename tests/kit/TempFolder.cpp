#include "tests/kit/TempFolder.h"

#include <windows.h>

#include <atomic>

TempFolder::TempFolder(const std::string& hint)
{
    static std::atomic<unsigned> serial{0};
    char temp[MAX_PATH];
    ::GetTempPathA(sizeof temp, temp);
    std::string base = std::string(temp) + hint + "-" + std::to_string(::GetCurrentProcessId()) + "-";
    for (;;) {
        Folder = base + std::to_string(serial++);
        if (::CreateDirectoryA(Folder.c_str(), nullptr)) break;
        if (::GetLastError() != ERROR_ALREADY_EXISTS) break;
    }
}

TempFolder::~TempFolder()
{
    RemoveFolderTree(Folder);
}

bool RemoveFolderTree(const std::string& folder)
{
    WIN32_FIND_DATAA entry;
    HANDLE search = ::FindFirstFileA((folder + "\\*").c_str(), &entry);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            std::string name = entry.cFileName;
            if (name == "." || name == "..") continue;
            std::string path = folder + "\\" + name;
            if (entry.dwFileAttributes & FILE_ATTRIBUTE_READONLY)
                ::SetFileAttributesA(path.c_str(), entry.dwFileAttributes & ~FILE_ATTRIBUTE_READONLY);
            if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveFolderTree(path);
            else
                ::DeleteFileA(path.c_str());
        } while (::FindNextFileA(search, &entry));
        ::FindClose(search);
    }
    return ::RemoveDirectoryA(folder.c_str()) || ::GetFileAttributesA(folder.c_str()) == INVALID_FILE_ATTRIBUTES;
}
