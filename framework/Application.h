#pragma once
#include <windows.h>
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
    std::unique_ptr<TFrameWindow> MainWindow;
    int ShowCommand = SW_SHOWDEFAULT;
    TThreeDControls Ctl3d;
};
