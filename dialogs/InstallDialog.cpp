#include "dialogs/InstallDialog.h"

#include "dialogs/EntryField.h"
#include "dialogs/plain/EntryChecks.h"
#include "shell/CenterOnScreen.h"
#include "shell/HelpTopics.h"
#include "shell/plain/MessageTable.h"
#include "shell/plain/Settings.h"

TInstall_Dlg::TInstall_Dlg(TWindow* parent, int resourceId, bool isNetwork)
    : TDialog(parent, resourceId), IsNetwork(isNetwork ? 1 : 0)
{
}

void TInstall_Dlg::SetupWindow()
{
    TDialog::SetupWindow();
    SendDlgItemMsg(IdSourceDrive, EM_LIMITTEXT, 1, 0);
    SendDlgItemMsg(IdSourceDrive, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(SourceDrive));
    SendDlgItemMsg(IdTargetDirectory, EM_LIMITTEXT, 80, 0);
    SendDlgItemMsg(IdTargetDirectory, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(Settings.TargetDirectory));
    for (int i = 0; i < ComponentCount; ++i)
        SendDlgItemMsg(IdProgram + i, BM_SETCHECK, Settings.Flags[i] ? BST_CHECKED : BST_UNCHECKED, 0);
    CenterOnScreen(GetHandle());
}

bool TInstall_Dlg::AcceptEntries()
{
    // The source drive is checked before the directory is read.
    const EntryField fields[] = {
        {IdSourceDrive, SourceDrive, sizeof SourceDrive, IsFilledEntry, MsgDriveNotValid},
        {IdTargetDirectory, Settings.TargetDirectory, sizeof Settings.TargetDirectory, IsAcceptableInstallDirectory,
         MsgDirectoryNotValid},
    };
    for (const EntryField& field : fields)
        if (!AcceptEntryField(GetHandle(), MsgInstallationError, field)) return false;

    for (int i = 0; i < ComponentCount; ++i)
        Settings.Flags[i] = SendDlgItemMsg(IdProgram + i, BM_GETCHECK, 0, 0) != 0 ? 1 : 0;
    return true;
}

void TInstall_Dlg::OnHelp()
{
    ShowHelpTopic(GetHandle(), IsNetwork ? HelpTopicNetworkInstall : HelpTopicLocalInstall);
}
