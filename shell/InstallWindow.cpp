#include "shell/InstallWindow.h"

#include "shell/UnattendedRun.h"

TInstallWindow::TInstallWindow(TWindow* parent, const char* title, bool readOptions)
    : TMainWindow(parent, title, readOptions)
{
    DdeCallback = &TInstallWindow::CallBack;
    AddCommand(CmInstallLocal, [this] { RunExclusive(&TInstallWindow::InstallLocal); });
    AddCommand(CmInstallNetwork, [this] { RunExclusive(&TInstallWindow::InstallNetwork); });
    AddCommand(CmMaintenanceUpdate, [this] { RunExclusive(&TInstallWindow::MaintenanceUpdate); });
    AddCommand(CmRunUnattended, [this] { RunExclusive(&TInstallWindow::RunUnattended); });
}

TInstallWindow::~TInstallWindow()
{
    CloseDdeLink();
}

void TInstallWindow::SetupWindow()
{
    TMainWindow::SetupWindow();
    InitDde();
    if (IsUnattendedRun()) ::PostMessageA(GetHandle(), WM_COMMAND, CmRunUnattended, 0);
}

void TInstallWindow::ContinueCommand(int command)
{
    // The link is made as at the window's start; where it cannot be, the
    // run ends there, as it does then.
    InitDde();
    if (!DdeInstance.IsValid()) return;
    if (command == CmMaintenanceUpdate) {
        RunExclusive(&TInstallWindow::MaintenanceUpdate);
    } else {
        RunExclusive(&TInstallWindow::InstallChosen);
    }
}

bool TInstallWindow::SaveOptionsOnClose()
{
    // An unattended run leaves the answers on its source as they are: many
    // runs at once read them there.
    return IsUnattendedRun() || TMainWindow::SaveOptionsOnClose();
}

int TInstallWindow::ShowMessage(const char* text, const char* title, UINT type)
{
    if (IsUnattendedRun()) {
        EndRunLogAtNotice();
        EndUnattendedRun(kUnattendedNoticeEnd, text);
    }
    return TFrameWindow::ShowMessage(text, title, type);
}

void TInstallWindow::EmptyProgramSlots()
{
    for (int i = 0; i < kProgramSlots; ++i) {
        ProgramFile[i].clear();
        ItemTitle[i].clear();
    }
}
