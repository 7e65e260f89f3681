#pragma once
#include "shell/MainWindow.h"

// The front's main window: the installation dialog, and then the engine
// (shell/EngineHandOver.h), which takes the window over and runs the command
// on to the end of the process.
class TFrontWindow : public TMainWindow {
public:
    TFrontWindow(TWindow* parent, const char* title);

private:
    void InstallLocal();
    void InstallNetwork();
    void MaintenanceUpdate();
    void Install(int command, int dialogResource);
    // Loads the engine and hands the window over for `command`; does not
    // return once the engine runs. Where the engine cannot be loaded, a
    // report names its file, and the window stays as it was.
    void HandOver(int command);
};
