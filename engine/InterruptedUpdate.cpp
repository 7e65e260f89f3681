#include "shell/InstallWindow.h"

#include "engine/DestinationFile.h"
#include "engine/FileReplacement.h"
#include "engine/FileSteps.h"
#include "engine/FolderClaim.h"
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
const char* const InUse =
    "%s is held open by another installation program working in that folder. Let it finish, then choose Retry; "
    "Cancel leaves the folder as it is.";

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
    if (PathExists(paths.Installed.c_str()) && FlushName(paths.Installed)) DeleteStep(paths.Aside);
    return PlaceResult::Placed;
}
}

bool TInstallWindow::FinishInterruptedUpdate(const char* folder, int title, TFolderClaim* claim)
{
    const std::string base = JoinedPath(folder, "");
    const std::string recordPath = base + kReplacementRecordName;
    for (;;) {
        // Taken for this run alone before anything is done from it: the live
        // record of another run (held open there) is never read as the
        // record of an interrupted one.
        TFile taken(::CreateFileA(recordPath.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
        const DWORD why = taken.IsValid() ? 0 : ::GetLastError();
        if (why == ERROR_SHARING_VIOLATION || why == ERROR_LOCK_VIOLATION) {
            char advice[kAdviceSize];
            FormatText(advice, sizeof advice, InUse, recordPath.c_str());
            if (ReportMessageOfferingRetry(GetHandle(), title, MsgFileReadError, kReplacementRecordName, advice))
                continue;
            return false;
        }
        if (PathExists(recordPath.c_str()) && !FinishFromRecord(recordPath, taken, title)) return false;
        // Held from here to the run's end. A folder that takes no record is
        // left to the reports of the files written there.
        if (!claim || claim->Make(recordPath) == 0 || !PathExists(recordPath.c_str())) return true;
    }
}

bool TInstallWindow::FinishFromRecord(const std::string& recordPath, TFile& taken, int title)
{
    const std::string base = FolderOf(recordPath.c_str());
    std::vector<char> contents;
    std::vector<Replacement> lines;
    const RecordState state = taken.IsValid() && ReadListFile(taken.Get(), contents) == ListLoadResult::Loaded
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
        taken.Reset();
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
    taken.Reset();
    if (DeleteStep(recordPath)) return true;
    return report(MsgFileCreationError, kReplacementRecordName, CannotBeRemoved, "is now finished");
}
