#pragma once
#include "framework/Window.h"

// A top-level window with a menu, a response table and a close query.
class TFrameWindow : public TWindow {
public:
    TFrameWindow(TWindow* parent, const char* title);

    // The menu resource, loaded when the window is created.
    void AssignMenu(const char* resourceName);

    // The window's icon, an icon resource of the program's own file.
    void SetIcon(int resourceId) { IconId = resourceId; }

    // The close query: whether the window may close now; also the answer to
    // the end of the session.
    virtual bool CanClose() { return true; }

    // Closes the window through its close query; also the exit command.
    void CloseWindow();

    // Whether destroying the window ends the message loop (the main window's).
    void SetEndsMessageLoop(bool ends) { EndsMessageLoop = ends; }

protected:
    void SetupWindow() override;
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    const char* ClassName() const override;
    HMENU CreationMenu() override;

private:
    std::string MenuName;
    int IconId = 0;
    bool EndsMessageLoop = false;
};
