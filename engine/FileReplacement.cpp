#include "engine/FileReplacement.h"

#include "engine/DestinationFile.h"
#include "engine/FileSteps.h"
#include "engine/plain/LzErrors.h"
#include "engine/plain/ScratchName.h"
#include "shell/plain/PathHelpers.h"

bool FreeScratchPath(const std::string& folder, int& next, std::string& path)
{
    for (; next < kScratchNames; ++next) {
        char name[kScratchNameSize];
        ScratchName(next, name);
        path = folder + name;
        if (!PathExists(path.c_str())) {
            ++next;
            return true;
        }
    }
    path.clear();
    return false;
}

long CreateScratchFile(const std::string& folder, int& next, std::string& path, TFile& file)
{
    // A new file is made only where no file is: no look before it (a name
    // looked up in vain costs a search of the whole folder).
    for (; next < kScratchNames; ++next) {
        char name[kScratchNameSize];
        ScratchName(next, name);
        path = folder + name;
        file.Reset(CreateNewFile(path));
        if (file.IsValid()) {
            ++next;
            return 0;
        }
        // Only a name taken lets the next one do better; a full or
        // write-protected disk, a folder that refuses new files or a missing
        // one fails every name alike.
        if (!PathExists(path.c_str())) {
            path.clear();
            return kLzBadOutHandle;
        }
    }
    path.clear();
    return kNoScratchName;
}

HANDLE CreateNewFile(const std::string& path)
{
    return ::CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL,
                         nullptr);
}

bool IsEmptyFile(const std::string& path)
{
    TFile file(::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                             FILE_ATTRIBUTE_NORMAL, nullptr));
    return file.IsValid() && ::GetFileSize(file.Get(), nullptr) == 0;
}

bool IsFileOrNothing(const std::string& path)
{
    const DWORD attributes = ::GetFileAttributesA(path.c_str());
    return attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

PlaceResult PutInPlace(const ReplacementPaths& file, bool& hadFile)
{
    hadFile = PathExists(file.Installed.c_str());
    if (hadFile) {
        // Windows 95 renames, and then deletes, a file that another program
        // holds open: one opened since the expansion's check stays.
        if (CheckDestination(file.Installed.c_str()) != 0) return PlaceResult::Refused;
        // Windows 95 knows no replacing move: the placeholder goes first.
        DeleteStep(file.Aside);
        if (!MoveStep(file.Installed, file.Aside)) return PlaceResult::Refused;
    }
    if (MoveStep(file.Fresh, file.Installed)) return PlaceResult::Placed;
    if (!hadFile || MoveStep(file.Aside, file.Installed)) return PlaceResult::Refused;
    return PlaceResult::Stranded;
}

bool TakeBack(const ReplacementPaths& file, bool hadFile)
{
    if (!MoveStep(file.Installed, file.Fresh)) return false;
    return !hadFile || MoveStep(file.Aside, file.Installed);
}

bool FlushName(const std::string& path)
{
    TFile file(::CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                             FILE_ATTRIBUTE_NORMAL, nullptr));
    return file.IsValid() && FlushStep(file.Get(), path);
}

std::string StrandedDetail(const ReplacementPaths& file)
{
    return std::string(FileNamePart(file.Installed.c_str())) + ": new " + FileNamePart(file.Fresh.c_str()) +
           ", old " + FileNamePart(file.Aside.c_str());
}
