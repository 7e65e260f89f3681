#include "dialogs/UpdateDialog.h"

#include "dialogs/plain/EntryChecks.h"
#include "shell/CenterOnScreen.h"
#include "shell/HelpTopics.h"
#include "shell/ReportMessage.h"
#include "shell/plain/MessageTable.h"
#include "shell/plain/Settings.h"

TUpdatetsw_Dlg::TUpdatetsw_Dlg(TWindow* parent, char (&updateSource)[kUpdateSourceSize])
    : TDialog(parent, DlgMaintenanceUpdate), UpdateSource(updateSource)
{
}

void TUpdatetsw_Dlg::SetupWindow()
{
    TDialog::SetupWindow();
    SendDlgItemMsg(IdUpdateDirectory, EM_LIMITTEXT, 80, 0);
    SendDlgItemMsg(IdUpdateDirectory, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(Settings.TargetDirectory));
    SendDlgItemMsg(IdUpdateSource, EM_LIMITTEXT, 80, 0);
    SendDlgItemMsg(IdUpdateSource, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(UpdateSource));
    CenterOnScreen(GetHandle());
}

bool TUpdatetsw_Dlg::AcceptEntries()
{
    // Read whole: a longer directory is refused, never cut to another one.
    SendDlgItemMsg(IdUpdateDirectory, WM_GETTEXT, sizeof Settings.TargetDirectory,
                   reinterpret_cast<LPARAM>(Settings.TargetDirectory));
    TrimSpaces(Settings.TargetDirectory);
    UpperCaseAscii(Settings.TargetDirectory);
    if (!IsAcceptableUpdateDirectory(Settings.TargetDirectory)) {
        ReportMessage(GetHandle(), MsgUpdateError, MsgDirectoryNotValid);
        return false;
    }

    SendDlgItemMsg(IdUpdateSource, WM_GETTEXT, sizeof UpdateSource, reinterpret_cast<LPARAM>(UpdateSource));
    TrimSpaces(UpdateSource);
    if (UpdateSource[0] == '\0') {
        ReportMessage(GetHandle(), MsgUpdateError, MsgDriveNotValid);
        return false;
    }
    UpperCaseAscii(UpdateSource);
    return true;
}

void TUpdatetsw_Dlg::OnHelp()
{
    ShowHelpTopic(GetHandle(), HelpTopicUpdate);
}
