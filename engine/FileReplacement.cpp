#include "engine/FileReplacement.h"

#include "engine/plain/LzErrors.h"
#include "engine/plain/ScratchName.h"
#include "shell/plain/PathHelpers.h"

long CreateScratchFile(const std::string& folder, int& next, std::string& path, TFile& file)
{
    for (; next < kScratchNames; ++next) {
        char name[kScratchNameSize];
        ScratchName(next, name);
        path = folder + name;
        file.Reset(::CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (file.IsValid()) {
            ++next;
            return 0;
        }
        // Only a name that is taken lets the next one do better; a full or
        // write-protected disk, a folder that refuses new files or a missing
        // one fails every name alike.
        if (!PathExists(path.c_str())) break;
    }
    path.clear();
    return kLzBadOutHandle;
}

PlaceResult PutInPlace(const ReplacementPaths& file, bool& hadFile)
{
    hadFile = PathExists(file.Installed.c_str());
    if (hadFile) {
        // Windows 95 knows no replacing move: the placeholder goes first.
        ::DeleteFileA(file.Aside.c_str());
        if (!::MoveFileA(file.Installed.c_str(), file.Aside.c_str())) return PlaceResult::Refused;
    }
    if (::MoveFileA(file.Fresh.c_str(), file.Installed.c_str())) return PlaceResult::Placed;
    if (!hadFile || ::MoveFileA(file.Aside.c_str(), file.Installed.c_str())) return PlaceResult::Refused;
    return PlaceResult::Stranded;
}

bool TakeBack(const ReplacementPaths& file, bool hadFile)
{
    if (!::MoveFileA(file.Installed.c_str(), file.Fresh.c_str())) return false;
    return !hadFile || ::MoveFileA(file.Aside.c_str(), file.Installed.c_str());
}

std::string StrandedDetail(const ReplacementPaths& file)
{
    return std::string(FileNamePart(file.Installed.c_str())) + ": new " + FileNamePart(file.Fresh.c_str()) +
           ", old " + FileNamePart(file.Aside.c_str());
}
