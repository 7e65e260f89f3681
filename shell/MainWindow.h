#pragma once
#include <windows.h>

#include "framework/FrameWindow.h"
#include "framework/UniqueHandle.h"

// Menu commands of the main window (the menu INSTALL_COMMANDS).
enum InstallCommand : int { CmInstallLocal = 1, CmInstallNetwork = 2, CmMaintenanceUpdate = 5, CmHelp = 6 };

extern const char* const MainWindowTitle;  // "Tessaryn 3.0 Installation"

// The installer's main window as a person first meets it: its place and
// size, its menu, the picture, the options read from INSTALL.OPT when it is
// made and written when it closes, and Help. The front's window
// (front/FrontWindow.h) and the engine's (shell/InstallWindow.h) are this
// one with their commands.
class TMainWindow : public TFrameWindow {
public:
    // `readOptions`: whether INSTALL.OPT is read now; a window that takes
    // over the front's window gets the options the front read.
    TMainWindow(TWindow* parent, const char* title, bool readOptions);
    ~TMainWindow() override;
    // Close query: refuses while a run is in progress, otherwise writes the
    // options file and agrees.
    bool CanClose() override { return !RunInProgress && SaveOptionsOnClose(); }
    virtual bool SaveOptionsOnClose();
    void ShowHelp();
    // A run (installation or update) lasts from its command to its completion
    // question; while one lasts, the run commands do nothing.
    template <typename Window>
    void RunExclusive(void (Window::*command)());
    bool IsRunInProgress() const { return RunInProgress; }

    // engine/OptionsIo.cpp: the options file on the source drive.
    void ReadOptions();
    bool WriteOptions();

    TMetaFile Picture;

protected:
    void Paint(TDC& dc, bool erase, const RECT& rect) override;
    // As the window goes, the help viewer it opened goes too.
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    bool RunInProgress = false;
};

template <typename Window>
void TMainWindow::RunExclusive(void (Window::*command)())
{
    // Prompts, boxes and the synchronous DDE execute all dispatch messages,
    // so a command or a close can arrive in the middle of a run.
    if (RunInProgress) return;
    struct Scope {
        bool& Flag;
        explicit Scope(bool& flag) : Flag(flag) { Flag = true; }
        ~Scope() { Flag = false; }
    } scope(RunInProgress);
    (static_cast<Window*>(this)->*command)();
}

// engine/OptionsIo.cpp. The beep the NT build gives when the options file
// cannot be opened or created: the platform's MessageBeep unless another is
// put in its place.
using BeepFunction = BOOL(WINAPI*)(UINT);
extern BeepFunction OptionsBeep;
