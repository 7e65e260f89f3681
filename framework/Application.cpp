#include "framework/Application.h"

#include "framework/FrameWindow.h"

namespace {
TApplication* CurrentApplication = nullptr;
}

TApplication::TApplication(const char*)
    : Previous(CurrentApplication)
{
    CurrentApplication = this;
}

TApplication::~TApplication()
{
    MainWindow.reset();
    Ctl3d.Disable();
    CurrentApplication = Previous;
}

TApplication* TApplication::Current()
{
    return CurrentApplication;
}

void TApplication::SetMainWindow(TFrameWindow* window)
{
    if (MainWindow) MainWindow->SetEndsMessageLoop(false);
    MainWindow.reset(window);
    if (MainWindow) MainWindow->SetEndsMessageLoop(true);
}

void TApplication::EnableCtl3d(bool enable)
{
    if (enable)
        Ctl3d.Enable(ModuleInstance(), ::GetVersion());
    else
        Ctl3d.Disable();
}

int TApplication::Run()
{
    InitMainWindow();
    if (!MainWindow || !MainWindow->Create()) return 1;
    // Set-up may already have asked the loop to quit; the window is shown anyway
    // so that whatever it reported stays in context.
    ::ShowWindow(MainWindow->GetHandle(), ShowCommand);
    ::UpdateWindow(MainWindow->GetHandle());
    MSG msg;
    int status;
    while ((status = ::GetMessageA(&msg, nullptr, 0, 0)) > 0) {
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
    return status == 0 ? static_cast<int>(msg.wParam) : 1;
}
