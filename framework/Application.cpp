#include "framework/Application.h"

#include "framework/FrameWindow.h"

TApplication::TApplication(const char*)
{
}

TApplication::~TApplication()
{
    MainWindow.reset();
    Ctl3d.Disable();
}

void TApplication::SetMainWindow(std::unique_ptr<TFrameWindow> window)
{
    if (MainWindow) MainWindow->SetEndsMessageLoop(false);
    MainWindow = std::move(window);
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
    if (!MainWindow || !MainWindow->Create()) {
        const char* title = MainWindow ? MainWindow->GetTitle() : "";
        ::MessageBoxA(nullptr, "The main window could not be created.", title, MB_OK | MB_ICONSTOP);
        return 1;
    }
    // Set-up may already have asked the loop to quit; the window is shown anyway
    // so that whatever it reported stays in context.
    ::ShowWindow(MainWindow->GetHandle(), ShowCommand);
    ::UpdateWindow(MainWindow->GetHandle());
    return MessageLoop();
}

int TApplication::RunAdopted(std::unique_ptr<TFrameWindow> window, HWND handle, const std::function<void()>& first)
{
    SetMainWindow(std::move(window));
    if (!MainWindow || !MainWindow->Adopt(handle)) return 1;
    first();
    return MessageLoop();
}

int TApplication::MessageLoop()
{
    MSG msg;
    int status;
    while ((status = ::GetMessageA(&msg, nullptr, 0, 0)) > 0) {
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
    return status == 0 ? static_cast<int>(msg.wParam) : 1;
}
