#include "tests/kit/TempFolder.h"

#include "tests/kit/FileTree.h"

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
    RemoveTree(Folder);
}
