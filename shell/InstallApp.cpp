#include "shell/InstallApp.h"

#include "shell/MainWindow.h"

InstallApp::InstallApp(WindowMaker makeWindow) : TApplication(nullptr), MakeWindow(makeWindow)
{
    // The installer asks for its disks with prompts of its own: a drive
    // without a disk answers with an error, never with the system's "not
    // ready" box (at a disk prompt, when INSTALL.OPT is read at start or
    // written at close, and at the end of the session, where the box would
    // stall the log-off).
    ::SetErrorMode(SEM_FAILCRITICALERRORS);
}

void InstallApp::InitMainWindow()
{
    if (!MakeWindow) return;
    // Always the normal size and place, whatever the launcher asked for.
    SetShowCommand(SW_SHOWNORMAL);
    std::unique_ptr<TMainWindow> window = MakeWindow();
    window->SetIcon(ApplicationIconId);
    SetMainWindow(std::move(window));
    EnableCtl3d(true);
}
