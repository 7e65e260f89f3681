#include "launcher/FinishWatch.h"

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

void FinishWatch::WaitFor(HANDLE process)
{
    for (;;) {
        DWORD woken = ::MsgWaitForMultipleObjects(1, &process, FALSE, INFINITE, QS_ALLINPUT);
        Dispatch();
        if (woken != WAIT_OBJECT_0 + 1) break;
    }
}
