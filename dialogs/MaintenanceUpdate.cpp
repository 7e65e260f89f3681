#include "shell/InstallWindow.h"

#include "dialogs/UpdateDialog.h"
#include "dialogs/plain/EntryChecks.h"
#include "engine/CompressedSource.h"
#include "engine/DestinationFile.h"
#include "engine/FolderClaim.h"
#include "engine/RunSizes.h"
#include "engine/SourceReads.h"
#include "engine/WholeFile.h"
#include "engine/plain/ChecksumList.h"
#include "engine/plain/InstallPlan.h"
#include "engine/plain/ListFile.h"
#include "engine/plain/LzErrors.h"
#include "framework/CommandIds.h"
#include "shell/InstallRecordFile.h"
#include "shell/ReportMessage.h"
#include "shell/UnattendedRun.h"
#include "shell/plain/FormatText.h"
#include "shell/plain/MessageTable.h"
#include "shell/plain/PathHelpers.h"
#include "shell/plain/Settings.h"

#include <algorithm>
#include <string>
#include <vector>

namespace {
// Installed names on an update list are at most this long.
constexpr std::size_t kMaxUpdateNameLength = 27;

const char* const UpdateListName = UpdateStep().ListName;

// Reads the update's list once, and its checksum list where it has one, and
// checks, before anything is written, that every compressed file it names is
// one the expander can expand (there, a readable file and not a folder, with
// a header the expander accepts) and every installed file it would replace
// can be replaced now.
// Reports its own failures.
bool ReadCheckedUpdate(HWND owner, const char* updateSource, ListPlan& plan)
{
    char note[kPathSize + 8];
    FormatText(note, sizeof note, "list %s\\%s", updateSource, UpdateListName);
    LogNote(note);
    ListFault fault = ReadListPlan(updateSource, UpdateListName, Settings.TargetDirectory, kMaxUpdateNameLength, plan,
                                   &IsSameFolder);
    // What each file expands to, where the source says.
    if (fault == ListFault::None) fault = ReadDiskChecksums(updateSource, plan);
    if (fault != ListFault::None) {
        ListFaultReport report = ListFaultReportFor(fault);
        // A list without a count is reported as the installation reports it.
        ReportMessage(owner, fault == ListFault::BadCount ? MsgInstallationError : MsgUpdateError, report.Message,
                      report.NamesList ? UpdateListName : plan.Refused.c_str());
        return false;
    }
    for (const PlannedFile& file : plan.Files) {
        TLzFile source;
        const std::string sourcePath = plan.SourceOf(file);
        CompressedReads read;
        long result = OpenCompressedSource(sourcePath.c_str(), source, nullptr, &read);
        RunSourceReads().Bytes += read.SoFar();
        if (result < 0) {
            ReportExpansionFault(owner, MsgUpdateError, result, sourcePath.c_str(), plan.DestinationOf(file).c_str());
            return false;
        }
    }
    // An installed file that cannot be replaced now (most often TSW.EXE of a
    // running Tessaryn), or that would go into a folder the installation
    // lacks, stops the update before anything is written. Each is checked
    // while its compressed file is held open, as the expander holds it: a
    // file that is its own compressed file, however its folder was spelt
    // (a short name, a network path, another drive letter for the disk),
    // is in use then.
    for (const PlannedFile& file : plan.Files) {
        const std::string sourcePath = plan.SourceOf(file);
        const std::string destination = plan.DestinationOf(file);
        TLzFile source;
        CompressedReads read;
        OpenCompressedSource(sourcePath.c_str(), source, nullptr, &read);
        RunSourceReads().Bytes += read.SoFar();
        // One that already holds the update's contents stays as it is.
        FILETIME written;
        if (CheckDestination(destination.c_str()) != 0 && !IsAlreadyWhole(destination, file.Expected, written)) {
            ReportExpansionFault(owner, MsgUpdateError, kLzBadOutHandle, sourcePath.c_str(), destination.c_str());
            return false;
        }
    }
    // The new files are made beside the installed ones: a folder that lets
    // its files be changed but refuses new ones is refused by name.
    std::vector<std::string> folders;
    for (const PlannedFile& file : plan.Files) {
        const std::string folder = FolderOf(plan.DestinationOf(file).c_str());
        if (std::find(folders.begin(), folders.end(), folder) != folders.end()) continue;
        folders.push_back(folder);
        if (!AcceptsNewFiles(folder)) {
            ReportMessage(owner, MsgUpdateError, MsgFileCreationError, WithoutTrailingSeparator(folder).c_str());
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
    if (!UpdateFrom(updateSource)) return;
    int answer = ShowMessage("Exit Installation Program", "Maintenance Update Complete",
                             MB_YESNO | MB_ICONQUESTION | kBoxInFront);
    if (answer == IDYES) ::PostMessageA(GetHandle(), WM_COMMAND, CM_EXIT, 0);
}

// The update of an unattended run: from the source drive's root (the update
// point), into the folder its INSTALL.OPT names (or the default one), read
// when the main window was made, stored as the dialog stores its entry. An
// update point installs nothing new: a folder without an installation ends
// the run before the update's list is read or anything is written.
void TInstallWindow::UpdateUnattended()
{
    EmptyProgramSlots();
    char updateSource[kUpdateSourceSize] = {SourceDrive[0], '\0'};
    TrimSpaces(Settings.TargetDirectory);
    UpperCaseAscii(Settings.TargetDirectory);
    if (!IsAcceptableUpdateDirectory(Settings.TargetDirectory))
        ReportMessage(GetHandle(), MsgUpdateError, MsgDirectoryNotValid);
    // The completion question is taken as Yes.
    UpdateFrom(updateSource);
    ::PostMessageA(GetHandle(), WM_COMMAND, CM_EXIT, 0);
}

bool TInstallWindow::UpdateFrom(char* updateSource)
{
    HWND owner = GetHandle();
    RemovalItem = false;
    RunLog log(Record, "maintenance update", updateSource, false);
    // The update disk is confirmed as "disk 1" but is no program disk: once
    // the update ends, no program disk is known to be in the source drive.
    struct ForgetDisk {
        int& Disk;
        ~ForgetDisk() { Disk = 0; }
    } forgetDisk{CurrentDisk};
    // An update interrupted there is finished first: its TSW.EXE may still
    // be under a scratch name.
    if (!FinishInterruptedUpdate(Settings.TargetDirectory, MsgUpdateError)) return false;
    if (!JoinPath(Settings.TargetDirectory, "TSW.EXE", 1)) {
        if (IsUnattendedRun()) {
            char text[kMessageSize];
            ComposeMessage(text, sizeof text, MsgFileNotFound, "TSW.EXE");
            EndUnattendedRun(kUnattendedNotInstalled, text);
        }
        ReportMessage(owner, MsgUpdateError, MsgFileNotFound, "TSW.EXE");
        return false;
    }

    char root[4] = {updateSource[0], ':', '\\', '\0'};
    if (::GetDriveTypeA(root) == DRIVE_REMOVABLE) {
        // A disk is read from the root of the drive it was asked for in.
        const char drive = updateSource[0];
        updateSource[1] = ':';
        updateSource[2] = '\0';
        if (!PromptForDisk(UpdateStep().Disk, drive)) return false;
    } else if (IsBareDriveLetter(updateSource)) {
        // A bare letter names a drive, read from its root.
        updateSource[1] = ':';
        updateSource[2] = '\0';
    }
    ListPlan plan;
    if (!ReadCheckedUpdate(owner, updateSource, plan)) return false;
    // Every new file stays beside its earlier one until the last is whole.
    if (!PlanUpdateRun(updateSource, plan)) return false;
    // The folder is this run's from here (its record is the one the
    // expansion writes): a run begun there meanwhile is met as at the start.
    TFolderClaim claim;
    if (!FinishInterruptedUpdate(Settings.TargetDirectory, MsgUpdateError, &claim)) return false;

    // The update's lines go into the installation's record, from its first write on.
    Record.Open(Settings.TargetDirectory, false);
    LONG result = 0;
    const bool expanded = ExpandListPlan(plan, UpdateCaption, result, &claim);
    RunBar.Clear();

    // The group is made again also after a failed expansion; but an update
    // that stopped is not complete, and its report was the last word.
    if (!ProgramFile[0].empty()) CreateProgramGroup();
    if (!expanded) return false;
    log.Completed();
    return true;
}
