#include "shell/InstallWindow.h"

#include "dialogs/InstallDialog.h"
#include "framework/CommandIds.h"
#include "shell/plain/Settings.h"

void TInstallWindow::InstallLocal()
{
    RunInstallation(DlgLocalInstall);
}

void TInstallWindow::InstallNetwork()
{
    RunInstallation(DlgNetworkInstall);
}

void TInstallWindow::RunInstallation(int dialogResource)
{
    TInstall_Dlg dialog(this, dialogResource, dialogResource == DlgNetworkInstall);
    if (dialog.Execute() == IDOK) InstallChosen();
}

void TInstallWindow::InstallChosen()
{
    ::InvalidateRect(GetHandle(), nullptr, TRUE);
    ::UpdateWindow(GetHandle());
    EmptyProgramSlots();
    const char source[] = {SourceDrive[0], ':', '\\', '\0'};
    RunLog log(Record, "installation", source, true);
    if (!InstallComponents()) return;

    RegisterRemoval();
    if (!ProgramFile[0].empty()) {
        CreateProgramGroup();
        WriteMarkerFile();
    }
    log.Completed();
    int answer = ShowMessage("Exit Installation Program", "Installation Complete",
                             MB_YESNO | MB_ICONQUESTION | kBoxInFront);
    ::UpdateWindow(GetHandle());
    if (answer == IDYES) ::PostMessageA(GetHandle(), WM_COMMAND, CM_EXIT, 0);
}
