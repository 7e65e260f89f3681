#include "shell/InstallWindow.h"

#include "engine/FileReplacement.h"
#include "engine/FileSteps.h"
#include "engine/plain/ListFile.h"
#include "engine/plain/ReplacementRecord.h"
#include "shell/ReportMessage.h"
#include "shell/plain/FormatText.h"
#include "shell/plain/MessageTable.h"
#include "shell/plain/PathHelpers.h"

#include <string>
#include <vector>

namespace {
// What each report of the record says below it: where the record is, what
// the update had done and what the person can do.
const char* const RenamesBegun =
    "%s is the record of an update stopped while its files took their new names. %s Each line names a new "
    "file's scratch name, the earlier file's and the installed name: give each file its new version, or "
    "install again, then delete the record.";
const char* const CannotBeRemoved =
    "%s is the record of an update that %s, and it cannot be removed (read-only or in use): it may be deleted.";

// A new file still under its scratch name takes the installed name; an
// earlier file moved aside goes once its name is taken. Where neither the
// new file nor the installed one is there, the earlier one takes its name
// back (an empty placeholder goes).
PlaceResult FinishRename(const ReplacementPaths& paths)
{
    bool hadFile = false;
    if (PathExists(paths.Fresh.c_str())) {
        const PlaceResult placed = PutInPlace(paths, hadFile);
        if (placed != PlaceResult::Placed) return placed;
    } else if (!PathExists(paths.Installed.c_str()) && PathExists(paths.Aside.c_str()) && !IsEmptyFile(paths.Aside)) {
        return MoveStep(paths.Aside, paths.Installed) ? PlaceResult::Placed : PlaceResult::Refused;
    }
    if (PathExists(paths.Installed.c_str())) DeleteStep(paths.Aside);
    return PlaceResult::Placed;
}
}

bool TInstallWindow::FinishInterruptedUpdate(const char* folder, int title)
{
    const std::string base = JoinedPath(folder, "");
    const std::string recordPath = base + kReplacementRecordName;
    if (!PathExists(recordPath.c_str())) return true;

    std::vector<char> contents;
    std::vector<Replacement> lines;
    const RecordState state = LoadListFile(recordPath.c_str(), contents) == ListLoadResult::Loaded
                                  ? ReadReplacementRecord(contents.data(), contents.size(), lines)
                                  : RecordState::Bad;
    const char* record = recordPath.c_str();
    auto report = [&](int text, const char* detail, const char* format, const char* why) {
        char advice[kAdviceSize];
        FormatText(advice, sizeof advice, format, record, why);
        ReportMessage(GetHandle(), title, text, detail, 0, advice);
        return false;
    };
    if (state == RecordState::Bad)
        return report(MsgFileReadError, kReplacementRecordName, RenamesBegun,
                      "It does not read right.");
    std::vector<ReplacementPaths> files;
    for (const Replacement& line : lines) files.push_back({base + line.Fresh, base + line.Aside, base + line.Installed});

    if (state == RecordState::Expanding) {
        // No file had taken its name: the new ones go.
        for (const ReplacementPaths& paths : files) {
            DeleteStep(paths.Fresh);
            DeleteStep(paths.Aside);
        }
        if (DeleteStep(recordPath)) return true;
        return report(MsgFileCreationError, kReplacementRecordName, CannotBeRemoved,
                      "stopped before any file took its new name (the installed files are the earlier ones)");
    }
    char why[kMessageSize + 96];
    // Only files take names: a scratch path that is a folder stops it all
    // before anything moves.
    for (const ReplacementPaths& paths : files) {
        if (IsFileOrNothing(paths.Fresh) && IsFileOrNothing(paths.Aside)) continue;
        FormatText(why, sizeof why, "%s: one of these is not a file.", StrandedDetail(paths).c_str());
        return report(MsgFileReadError, kReplacementRecordName, RenamesBegun, why);
    }
    for (const ReplacementPaths& paths : files) {
        const PlaceResult placed = FinishRename(paths);
        if (placed == PlaceResult::Placed) continue;
        const char* name = FileNamePart(paths.Installed.c_str());
        FormatText(why, sizeof why, "%s cannot take its new version: close the program using it and start again.",
                   name);
        return report(MsgFileCreationError, placed == PlaceResult::Stranded ? StrandedDetail(paths).c_str() : name,
                      RenamesBegun, why);
    }
    if (DeleteStep(recordPath)) return true;
    return report(MsgFileCreationError, kReplacementRecordName, CannotBeRemoved, "is now finished");
}
