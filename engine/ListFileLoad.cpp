// A list file read from the disk whole, with the platform's own file calls.
#include "engine/plain/ChecksumList.h"
#include "engine/plain/ListFile.h"
#include "engine/plain/SizeList.h"

#include "engine/SourceReads.h"

#include "framework/UniqueHandle.h"
#include "shell/plain/PathHelpers.h"

#include <windows.h>

ListLoadResult LoadListFile(const char* path, std::vector<char>& contents)
{
    // Opened for reading as the C library's fopen(path, "rb") opens it, so
    // that whatever that refused (no such file, a folder, a file held
    // without sharing) is still "not found".
    TFile file(::CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                             FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.IsValid()) return ListLoadResult::NotFound;
    return ReadListFile(file.Get(), contents);
}

ListLoadResult ReadListFile(void* file, std::vector<char>& contents, std::size_t maxBytes)
{
    // A size the platform cannot give reads as 0xFFFFFFFF: over the limit too.
    DWORD high = 0;
    const DWORD size = ::GetFileSize(file, &high);
    if (high != 0 || size > maxBytes) return ListLoadResult::Unreadable;
    contents.resize(size);
    DWORD done = 0;
    while (done < size) {
        DWORD read = 0;
        if (!::ReadFile(file, contents.data() + done, size - done, &read, nullptr) || read == 0)
            return ListLoadResult::Unreadable;
        done += read;
    }
    return ListLoadResult::Loaded;
}

namespace {
// A list of the run's source, its bytes counted as the run's reads.
ListLoadResult LoadSourceList(const char* path, std::vector<char>& contents)
{
    const ListLoadResult loaded = LoadListFile(path, contents);
    if (loaded == ListLoadResult::Loaded) RunSourceReads().Bytes += contents.size();
    return loaded;
}
}

ListFault ReadListPlan(const char* sourceDir, const char* listName, const char* destDir, std::size_t maxNameLength,
                       ListPlan& plan, SameFolderTest sameFolderTest)
{
    plan = ListPlan();
    const std::string listPath = JoinedPath(sourceDir, listName);
    if (listPath.size() >= kPathSize) return ListFault::NotFound;
    std::vector<char> contents;
    ListLoadResult loaded = LoadSourceList(listPath.c_str(), contents);
    if (loaded == ListLoadResult::NotFound) return ListFault::NotFound;
    if (loaded == ListLoadResult::Unreadable) return ListFault::Unreadable;
    return PlanListContents(contents.data(), contents.size(), sourceDir, destDir, maxNameLength, plan,
                            sameFolderTest);
}

ListFault ReadDiskChecksums(const char* diskRoot, ListPlan& plan)
{
    const std::string root = JoinedPath(diskRoot, "");
    std::vector<char> contents;
    const ListLoadResult loaded = LoadSourceList((root + kChecksumListName).c_str(), contents);
    return ApplyDiskChecksums(root, loaded, contents, plan);
}

bool ReadSetSizes(const char* root, SetSizes& sizes)
{
    sizes = SetSizes();
    const std::string path = JoinedPath(root, kSizeListName);
    std::vector<char> contents;
    const ListLoadResult loaded = LoadSourceList(path.c_str(), contents);
    // A disk made before the sizes were written installs as it stands.
    if (loaded == ListLoadResult::NotFound && !PathExists(path.c_str())) return true;
    return loaded == ListLoadResult::Loaded && ReadSizeList(contents.data(), contents.size(), sizes);
}
