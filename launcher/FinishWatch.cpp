#include "launcher/FinishWatch.h"

#include "launcher/OneSetup.h"

namespace {
constexpr UINT FinishedMessage = WM_USER + 50;
const char* const ClassName = "TsSetupLauncher";
FinishWatch* Watch = nullptr;
}

FinishWatch::FinishWatch()
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = &FinishWatch::Procedure;
    wc.hInstance = ::GetModuleHandleA(nullptr);
    wc.lpszClassName = ClassName;
    ::RegisterClassA(&wc);
    Watch = this;
    Window = ::CreateWindowExA(0, ClassName, "Tessaryn 3.0 Setup", WS_OVERLAPPED, 0, 0, 0, 0, nullptr, nullptr,
                               wc.hInstance, nullptr);
}

FinishWatch::~FinishWatch()
{
    if (Window) ::DestroyWindow(Window);
    Watch = nullptr;
}

LRESULT CALLBACK FinishWatch::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == FinishedMessage) {
        if (Watch) Watch->Told = true;
        return 0;
    }
    return ::DefWindowProcA(window, message, wParam, lParam);
}

void FinishWatch::Dispatch()
{
    MSG msg;
    while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
}

void FinishWatch::WaitFor(HANDLE process, void (*onMainWindow)(void* context), void* context)
{
    // Bounded waits, with the process looked at each round: SETUP.EXE never
    // hangs on a wake-up the platform might not give.
    while (::WaitForSingleObject(process, 0) == WAIT_TIMEOUT) {
        ::MsgWaitForMultipleObjects(1, &process, FALSE, onMainWindow ? 100 : 1000, QS_ALLINPUT);
        Dispatch();
        if (onMainWindow && OneSetup::InstallerWindow()) {
            onMainWindow(context);
            onMainWindow = nullptr;
        }
    }
    // What the installer posted before it ended.
    Dispatch();
}
