#include "shell/InstallWindow.h"

#include "dialogs/plain/EntryChecks.h"
#include "engine/plain/InstallPlan.h"
#include "engine/plain/SizeList.h"
#include "engine/plain/SourceKind.h"
#include "framework/CommandIds.h"
#include "shell/InstallRecordFile.h"
#include "shell/ReportMessage.h"
#include "shell/plain/MessageTable.h"
#include "shell/plain/PathHelpers.h"
#include "shell/plain/Settings.h"

// An unattended run updates from an update point and installs from any
// other source: what the source drive's root holds decides, so that a batch
// file needs only SETUP.EXE /Q.
void TInstallWindow::RunUnattended()
{
    const char root[4] = {SourceDrive[0], ':', '\\', '\0'};
    unsigned lists = 0;
    for (const InstallStep& step : InstallSteps())
        if (JoinPath(root, step.ListName, 1)) lists |= 1u << step.List;
    SetSizes sizes;
    if (!ReadSetSizes(root, sizes)) ReportMessage(GetHandle(), MsgInstallationError, MsgFileReadError, kSizeListName);
    if (KindOfSource(lists, sizes) == SourceKind::Update)
        UpdateUnattended();
    else
        InstallUnattended();
}

// The installation of an unattended run: the source drive and the settings
// the main window read from INSTALL.OPT there (or the defaults), checked as
// the installation dialog checks its entries; the installation as the
// dialog's Install runs it; the completion question taken as Yes. A report
// on the way ends the run (shell/UnattendedRun.h).
void TInstallWindow::InstallUnattended()
{
    const char source[] = {SourceDrive[0], ':', '\\', '\0'};
    TrimSpaces(Settings.TargetDirectory);
    UpperCaseAscii(Settings.TargetDirectory);
    if (!IsFilledEntry(SourceDrive)) ReportMessage(GetHandle(), MsgInstallationError, MsgDriveNotValid);
    if (!IsAcceptableInstallDirectory(Settings.TargetDirectory))
        ReportMessage(GetHandle(), MsgInstallationError, MsgDirectoryNotValid);

    EmptyProgramSlots();
    RunLog log(Record, "installation", source, true);
    if (InstallComponents()) {
        RegisterRemoval();
        if (!ProgramFile[0].empty()) {
            CreateProgramGroup();
            WriteMarkerFile();
        }
        log.Completed();
    }
    ::PostMessageA(GetHandle(), WM_COMMAND, CM_EXIT, 0);
}
