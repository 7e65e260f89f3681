#include "shell/InstallWindow.h"

#include "engine/FileReplacement.h"
#include "engine/FileSteps.h"
#include "engine/plain/ListFile.h"
#include "engine/plain/ReplacementRecord.h"
#include "shell/ReportMessage.h"
#include "shell/plain/MessageTable.h"
#include "shell/plain/PathHelpers.h"

#include <string>
#include <vector>

namespace {
// What each report of the record says below it: where the record is, what
// the update had done and what the person can do.
std::string RenamesBegunAdvice(const std::string& record, const std::string& why)
{
    return record + " is the record of an update into this folder that was stopped while its files took their new "
                    "names. " + why + " Each line of the record names a new file's scratch name, the earlier "
                    "file's scratch name and the installed name: give each installed file its new version, or "
                    "install Tessaryn again, then delete the record.";
}

std::string NoRenameAdvice(const std::string& record)
{
    return record + " is the record of an update into this folder that was stopped before any file took its new "
                    "name, and it cannot be removed (it may be read-only or in use). The installed files are the "
                    "earlier ones: the record may be deleted.";
}

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
    } else if (!PathExists(paths.Installed.c_str()) && PathExists(paths.Aside.c_str())) {
        TFile aside(::CreateFileA(paths.Aside.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
        const bool empty = aside.IsValid() && ::GetFileSize(aside.Get(), nullptr) == 0;
        aside.Reset();
        if (!empty) return MoveStep(paths.Aside, paths.Installed) ? PlaceResult::Placed : PlaceResult::Refused;
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
    auto report = [&](int text, const std::string& detail, const std::string& advice) {
        ReportMessage(GetHandle(), title, text, detail.c_str(), 0, advice.c_str());
        return false;
    };
    if (state == RecordState::Bad)
        return report(MsgFileReadError, kReplacementRecordName,
                      RenamesBegunAdvice(recordPath, "The record cannot be read, or does not read right."));
    std::vector<ReplacementPaths> files;
    for (const Replacement& line : lines) files.push_back({base + line.Fresh, base + line.Aside, base + line.Installed});

    if (state == RecordState::Expanding) {
        // No file had taken its name: the new ones go.
        for (const ReplacementPaths& paths : files) {
            DeleteStep(paths.Fresh);
            DeleteStep(paths.Aside);
        }
        if (DeleteStep(recordPath)) return true;
        return report(MsgFileCreationError, kReplacementRecordName, NoRenameAdvice(recordPath));
    }
    // Only files take names: a scratch path that is a folder stops it all
    // before anything moves.
    for (const ReplacementPaths& paths : files) {
        if (IsFileOrNothing(paths.Fresh) && IsFileOrNothing(paths.Aside)) continue;
        return report(MsgFileReadError, kReplacementRecordName,
                      RenamesBegunAdvice(recordPath, "Of " + StrandedDetail(paths) + ", one is no file."));
    }
    for (const ReplacementPaths& paths : files) {
        const PlaceResult placed = FinishRename(paths);
        if (placed == PlaceResult::Placed) continue;
        const std::string detail =
            placed == PlaceResult::Stranded ? StrandedDetail(paths) : FileNamePart(paths.Installed.c_str());
        return report(MsgFileCreationError, detail,
                      RenamesBegunAdvice(recordPath, std::string(FileNamePart(paths.Installed.c_str())) +
                                                         " cannot take its new version now: close the program "
                                                         "that uses it and start again."));
    }
    if (DeleteStep(recordPath)) return true;
    return report(MsgFileCreationError, kReplacementRecordName,
                  recordPath + " is the record of an update into this folder that was stopped while its files took "
                               "their new names. The update is now finished, but the record cannot be removed (it "
                               "may be read-only or in use): it may be deleted.");
}
