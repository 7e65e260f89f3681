#include "shell/InstallWindow.h"

#include "engine/FileReplacement.h"
#include "engine/plain/ListFile.h"
#include "engine/plain/ReplacementRecord.h"
#include "shell/ReportMessage.h"
#include "shell/plain/MessageTable.h"
#include "shell/plain/PathHelpers.h"

#include <string>
#include <vector>

bool TInstallWindow::FinishInterruptedUpdate(const char* folder, int title)
{
    const std::string base = JoinedPath(folder, "");
    const std::string recordPath = base + kReplacementRecordName;
    if (!PathExists(recordPath.c_str())) return true;

    std::vector<char> contents;
    std::vector<Replacement> files;
    const RecordState state = LoadListFile(recordPath.c_str(), contents) == ListLoadResult::Loaded
                                  ? ReadReplacementRecord(contents.data(), contents.size(), files)
                                  : RecordState::Bad;
    if (state == RecordState::Bad) {
        ReportMessage(GetHandle(), title, MsgFileReadError, kReplacementRecordName);
        return false;
    }
    for (Replacement& file : files) {
        const ReplacementPaths paths = {base + file.Fresh, base + file.Aside, base + file.Installed};
        if (state == RecordState::Expanding) {
            // No file had taken its name: the new ones go.
            ::DeleteFileA(paths.Fresh.c_str());
            ::DeleteFileA(paths.Aside.c_str());
            continue;
        }
        // A new file still under its scratch name takes the installed name;
        // an earlier file moved aside goes once its name is taken.
        bool hadFile = false;
        const PlaceResult placed = PathExists(paths.Fresh.c_str()) ? PutInPlace(paths, hadFile) : PlaceResult::Placed;
        if (placed != PlaceResult::Placed) {
            ReportMessage(GetHandle(), title, MsgFileCreationError,
                          placed == PlaceResult::Stranded ? StrandedDetail(paths).c_str()
                                                          : FileNamePart(paths.Installed.c_str()));
            return false;
        }
        if (PathExists(paths.Installed.c_str())) ::DeleteFileA(paths.Aside.c_str());
    }
    ::DeleteFileA(recordPath.c_str());
    return true;
}
