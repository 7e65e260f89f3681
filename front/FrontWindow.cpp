#include "front/FrontWindow.h"

#include "dialogs/InstallDialog.h"
#include "front/EngineLibrary.h"
#include "shell/LauncherNotification.h"
#include "shell/ReportMessage.h"
#include "shell/plain/MessageTable.h"
#include "shell/plain/Settings.h"

TFrontWindow::TFrontWindow(TWindow* parent, const char* title) : TMainWindow(parent, title, true)
{
    AddCommand(CmInstallLocal, [this] { RunExclusive(&TFrontWindow::InstallLocal); });
    AddCommand(CmInstallNetwork, [this] { RunExclusive(&TFrontWindow::InstallNetwork); });
    AddCommand(CmMaintenanceUpdate, [this] { RunExclusive(&TFrontWindow::MaintenanceUpdate); });
}

void TFrontWindow::InstallLocal()
{
    Install(CmInstallLocal, DlgLocalInstall);
}

void TFrontWindow::InstallNetwork()
{
    Install(CmInstallNetwork, DlgNetworkInstall);
}

void TFrontWindow::Install(int command, int dialogResource)
{
    TInstall_Dlg dialog(this, dialogResource, dialogResource == DlgNetworkInstall);
    if (dialog.Execute() == IDOK) HandOver(command);
}

// The engine shows the update's dialog.
void TFrontWindow::MaintenanceUpdate()
{
    HandOver(CmMaintenanceUpdate);
}

void TFrontWindow::HandOver(int command)
{
    TEngineLibrary engine;
    if (const int fault = engine.Load(EnginePath(), true)) {
        ReportMessage(GetHandle(), MsgInstallationError, fault, EngineName());
        return;
    }
    EngineHandOver handOver = {};
    handOver.Window = GetHandle();
    handOver.Command = command;
    handOver.Settings = Settings;
    CopyBounded(handOver.ProgramDirectory, sizeof handOver.ProgramDirectory, ProgramDirectory);
    handOver.SourceDrive[0] = SourceDrive[0];
    handOver.LauncherWindow = LauncherWindow;
    handOver.TellLauncher = IsLauncherToBeTold();
    // The engine's end is the process's: this window's object and its
    // message loop are not met again.
    ::ExitProcess(static_cast<UINT>(engine.Entry()(0, nullptr, &handOver)));
}
