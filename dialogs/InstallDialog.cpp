#include "dialogs/InstallDialog.h"

#include "dialogs/plain/EntryChecks.h"
#include "shell/CenterOnScreen.h"
#include "shell/HelpTopics.h"
#include "shell/ReportMessage.h"
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
    // Each entry is stored before it is checked.
    SendDlgItemMsg(IdSourceDrive, WM_GETTEXT, sizeof SourceDrive, reinterpret_cast<LPARAM>(SourceDrive));
    TrimSpaces(SourceDrive);
    if (SourceDrive[0] == '\0') {
        ReportMessage(GetHandle(), MsgInstallationError, MsgDriveNotValid);
        return false;
    }
    UpperCaseAscii(SourceDrive);

    // Read whole, so that a longer directory (one restored from the options
    // file) is refused rather than silently cut to another one.
    SendDlgItemMsg(IdTargetDirectory, WM_GETTEXT, sizeof Settings.TargetDirectory,
                   reinterpret_cast<LPARAM>(Settings.TargetDirectory));
    TrimSpaces(Settings.TargetDirectory);
    UpperCaseAscii(Settings.TargetDirectory);
    if (!IsAcceptableInstallDirectory(Settings.TargetDirectory)) {
        ReportMessage(GetHandle(), MsgInstallationError, MsgDirectoryNotValid);
        return false;
    }

    for (int i = 0; i < ComponentCount; ++i)
        Settings.Flags[i] = SendDlgItemMsg(IdProgram + i, BM_GETCHECK, 0, 0) != 0 ? 1 : 0;
    return true;
}

void TInstall_Dlg::OnHelp()
{
    ShowHelpTopic(GetHandle(), IsNetwork ? HelpTopicNetworkInstall : HelpTopicLocalInstall);
}
