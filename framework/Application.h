#pragma once
#include <windows.h>
#include <functional>
#include <memory>

#include "framework/ThreeDControls.h"

class TFrameWindow;

// The application object: creates the main window through InitMainWindow(),
// shows it and runs the message loop until it is destroyed.
class TApplication {
public:
    explicit TApplication(const char* name = nullptr);
    TApplication(const TApplication&) = delete;
    TApplication& operator=(const TApplication&) = delete;
    virtual ~TApplication();

    // Initialises the instance, creates and shows the main window and runs the
    // message loop; returns the loop's exit code. A main window that cannot be
    // created is reported in a message box; the exit code is then 1.
    int Run();
    // Takes over `window` as the main window, its object for `handle`, a
    // main window this process's other module made and showed
    // (TWindow::Adopt); runs `first`, then the message loop as Run does. 1
    // when the window is not there to take.
    int RunAdopted(std::unique_ptr<TFrameWindow> window, HWND handle, const std::function<void()>& first);

    TFrameWindow* GetMainWindow() const { return MainWindow.get(); }
    // Takes the main window over; its destruction ends the message loop.
    void SetMainWindow(std::unique_ptr<TFrameWindow> window);
    void SetShowCommand(int command) { ShowCommand = command; }
    int GetShowCommand() const { return ShowCommand; }
    void EnableCtl3d(bool enable = true);
    const TThreeDControls& ThreeDControls() const { return Ctl3d; }

protected:
    virtual void InitMainWindow() {}

private:
    int MessageLoop();


    std::unique_ptr<TFrameWindow> MainWindow;
    int ShowCommand = SW_SHOWDEFAULT;
    TThreeDControls Ctl3d;
};
