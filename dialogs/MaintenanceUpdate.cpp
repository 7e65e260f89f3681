#include "shell/InstallWindow.h"

#include "dialogs/UpdateDialog.h"
#include "engine/plain/InstallPlan.h"
#include "engine/plain/ListFile.h"
#include "framework/CommandIds.h"
#include "shell/ReportMessage.h"
#include "shell/plain/MessageTable.h"
#include "shell/plain/PathHelpers.h"
#include "shell/plain/Settings.h"

#include <string>
#include <vector>

namespace {
// Installed names on an update list are at most this long.
constexpr std::size_t kMaxUpdateNameLength = 27;

const char* const UpdateListName = UpdateStep().ListName;

// Checks, before anything is written, that every file the update's list names
// is in the update source, deriving each compressed name exactly as the
// expander will. Reports its own failures.
bool CheckUpdateComplete(HWND owner, const char* listPath, const char* updateSource)
{
    std::vector<char> contents;
    ListLoadResult loaded = LoadListFile(listPath, contents);
    if (loaded != ListLoadResult::Loaded) {
        // A list that is there but cannot be read whole is a read error.
        ReportMessage(owner, MsgUpdateError, loaded == ListLoadResult::NotFound ? MsgFileNotFound : MsgFileReadError,
                      UpdateListName);
        return false;
    }
    ListLineReader reader(contents.data(), contents.size());
    char line[kListLineSize];
    long count = 0;
    if (reader.Next(line) != ListLineReader::Result::Line || !ParseListCount(line, count)) {
        ReportMessage(owner, MsgInstallationError, MsgFileReadError, UpdateListName);
        return false;
    }
    for (long i = 0; i < count; ++i) {
        ListEntry entry;
        if (reader.Next(line) != ListLineReader::Result::Line || !ParseListEntry(line, entry) ||
            entry.Name.size() > kMaxUpdateNameLength) {
            ReportMessage(owner, MsgUpdateError, MsgFileReadError, UpdateListName);
            return false;
        }
        std::string compressed = CompressedName(entry.Name);
        if (!JoinPath(updateSource, compressed.c_str(), 1)) {
            ReportMessage(owner, MsgUpdateError, MsgFileNotFound, compressed.c_str());
            return false;
        }
    }
    return true;
}
}

void TInstallWindow::MaintenanceUpdate()
{
    EmptyProgramSlots();
    char updateSource[kUpdateSourceSize] = {SourceDrive[0], '\0'};
    TUpdatetsw_Dlg dialog(this, updateSource);
    if (dialog.Execute() != IDOK) return;

    HWND owner = GetHandle();
    if (!JoinPath(Settings.TargetDirectory, "TSW.EXE", 1)) {
        ReportMessage(owner, MsgUpdateError, MsgFileNotFound, "TSW.EXE");
        return;
    }

    char root[4] = {updateSource[0], ':', '\\', '\0'};
    if (::GetDriveTypeA(root) == DRIVE_REMOVABLE) {
        // A disk is read from the root of the drive it was asked for in.
        const char drive = updateSource[0];
        updateSource[1] = ':';
        updateSource[2] = '\0';
        if (!PromptForDisk(UpdateStep().Disk, drive)) return;
    } else if (updateSource[1] == '\0' && updateSource[0] >= 'A' && updateSource[0] <= 'Z') {
        // A bare letter names a drive, read from its root.
        updateSource[1] = ':';
        updateSource[2] = '\0';
    }
    const char* found = JoinPath(updateSource, UpdateListName, 1);
    if (!found) {
        ReportMessage(owner, MsgUpdateError, MsgFileNotFound, UpdateListName);
        return;
    }
    const std::string listPath = found;
    if (!CheckUpdateComplete(owner, listPath.c_str(), updateSource)) return;

    LONG result = 0;
    ExpandListFile(UpdateListName, Settings.TargetDirectory, updateSource, UpdateCaption, result);

    if (!ProgramFile[0].empty()) CreateProgramGroup();
    int answer = ShowMessage("Exit Installation Program", "Maintenance Update Complete", MB_YESNO | MB_ICONQUESTION);
    if (answer == IDYES) ::PostMessageA(owner, WM_COMMAND, CM_EXIT, 0);
}
