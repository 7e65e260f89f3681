#include "engine/FileSteps.h"

namespace {
FileStepWatch Watch = nullptr;
void* WatchContext = nullptr;

bool Allowed(FileStep step, const std::string& path, const std::string& other = std::string())
{
    return !Watch || Watch(step, path, other, WatchContext);
}
}

void WatchFileSteps(FileStepWatch watch, void* context)
{
    Watch = watch;
    WatchContext = context;
}

bool WriteStep(HANDLE file, const std::string& path, const std::string& text)
{
    const bool allowed = Allowed(FileStep::Write, path, text);
    const DWORD size = static_cast<DWORD>(allowed ? text.size() : text.size() / 2);
    DWORD written = 0;
    return ::WriteFile(file, text.data(), size, &written, nullptr) && written == text.size();
}

bool FlushStep(HANDLE file, const std::string& path)
{
    return Allowed(FileStep::Flush, path) && ::FlushFileBuffers(file);
}

bool MoveStep(const std::string& from, const std::string& to)
{
    return Allowed(FileStep::Move, from, to) && ::MoveFileA(from.c_str(), to.c_str());
}

bool DeleteStep(const std::string& path)
{
    return Allowed(FileStep::Delete, path) && ::DeleteFileA(path.c_str());
}

bool RemoveFolderStep(const std::string& path)
{
    return Allowed(FileStep::Delete, path) && ::RemoveDirectoryA(path.c_str());
}
