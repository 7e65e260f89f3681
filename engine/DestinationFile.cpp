#include "engine/DestinationFile.h"

#include "engine/FileReplacement.h"
#include "engine/FileSteps.h"
#include "engine/plain/LzErrors.h"
#include "shell/plain/PathHelpers.h"

#include <strings.h>

namespace {
// A folder, or a read-only, hidden or system file: never replaced, even
// where the platform would let this process write it regardless (an
// administrator's rights; Windows 95 opens a hidden file for writing where
// NT refuses it).
bool CannotBeReplaced(DWORD attributes)
{
    return attributes != INVALID_FILE_ATTRIBUTES &&
           (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                          FILE_ATTRIBUTE_DIRECTORY));
}

bool IsFolder(const std::string& folder)
{
    const DWORD attributes = ::GetFileAttributesA(WithoutTrailingSeparator(folder).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::string FullPath(const std::string& path)
{
    char full[MAX_PATH];
    char* name = nullptr;
    const DWORD length = ::GetFullPathNameA(path.c_str(), sizeof full, full, &name);
    if (length == 0 || length >= sizeof full) return path;
    std::string result(full, length);
    if (!EndsWithBackslash(result.c_str())) result += '\\';
    return result;
}
}

long CheckDestination(const char* path, bool* vacant)
{
    if (vacant) *vacant = false;
    // Opened for writing with no sharing, so a file in use refuses. A device
    // opens under a file's name, also where its attributes say nothing is
    // there (on Windows 95 also the names of the drivers loaded at boot,
    // which no fixed list holds).
    TFile file(::CreateFileA(path, GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file.IsValid())
        return ::GetFileType(file.Get()) == FILE_TYPE_DISK && !CannotBeReplaced(::GetFileAttributesA(path))
                   ? 0
                   : kLzBadOutHandle;
    // Where nothing is there the name is not looked up again (a name looked
    // up in vain costs a search of the whole folder).
    if (::GetLastError() != ERROR_FILE_NOT_FOUND && ::GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES)
        return kLzBadOutHandle;
    if (!IsFolder(FolderOf(path))) return kLzBadOutHandle;
    if (vacant) *vacant = true;
    return 0;
}

bool AcceptsNewFiles(const std::string& folder)
{
    // The probe has the name of an update's record, which only the installer
    // gives a file: one a cut left in the installation's folder is dealt with
    // as a record before this; one left in a subfolder is an empty probe.
    const std::string path = folder + kReplacementRecordName;
    TFile probe(CreateNewFile(path));
    if (!probe.IsValid() && IsEmptyFile(path) && DeleteStep(path)) probe.Reset(CreateNewFile(path));
    if (!probe.IsValid()) return false;
    probe.Reset();
    DeleteStep(path);
    return true;
}

std::string WithoutTrailingSeparator(std::string folder)
{
    // A root keeps its separator; any other folder is named without it.
    if (folder.empty()) return ".";
    if (folder.size() > 3 && EndsWithBackslash(folder.c_str())) folder.pop_back();
    return folder;
}

std::string FolderOf(const char* path)
{
    return std::string(path, static_cast<std::size_t>(FileNamePart(path) - path));
}

bool IsSameFolder(const std::string& first, const std::string& second)
{
    return strcasecmp(FullPath(first).c_str(), FullPath(second).c_str()) == 0;
}
