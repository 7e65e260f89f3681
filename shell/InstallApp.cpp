#include "shell/InstallApp.h"

#include "shell/InstallWindow.h"

void InstallApp::InitMainWindow()
{
    // Always the normal size and place, whatever the launcher asked for.
    SetShowCommand(SW_SHOWNORMAL);
    auto window = std::make_unique<TInstallWindow>(nullptr, MainWindowTitle);
    window->SetIcon(ApplicationIconId);
    SetMainWindow(std::move(window));
    EnableCtl3d(true);
}
