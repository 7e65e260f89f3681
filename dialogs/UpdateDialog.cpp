#include "dialogs/UpdateDialog.h"

#include "dialogs/EntryField.h"
#include "dialogs/plain/EntryChecks.h"
#include "shell/CenterOnScreen.h"
#include "shell/HelpTopics.h"
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
    // The directory is checked before the source is read.
    const EntryField fields[] = {
        {IdUpdateDirectory, Settings.TargetDirectory, sizeof Settings.TargetDirectory, IsAcceptableUpdateDirectory,
         MsgDirectoryNotValid},
        {IdUpdateSource, UpdateSource, sizeof UpdateSource, IsFilledEntry, MsgDriveNotValid},
    };
    for (const EntryField& field : fields)
        if (!AcceptEntryField(GetHandle(), MsgUpdateError, field)) return false;
    return true;
}

void TUpdatetsw_Dlg::OnHelp()
{
    ShowHelpTopic(GetHandle(), HelpTopicUpdate);
}
