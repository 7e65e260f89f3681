#include "remover/ProgressBox.h"

namespace {
const char* const ClassName = "TswRemoval";
constexpr int Width = 400;
constexpr int LineHeight = 40;
}

ProgressBox::ProgressBox(const char* title)
{
    const HINSTANCE instance = ::GetModuleHandleA(nullptr);
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = ::DefWindowProcA;
    windowClass.hInstance = instance;
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = ClassName;
    ::RegisterClassA(&windowClass);
    const int height = ::GetSystemMetrics(SM_CYCAPTION) + 2 * ::GetSystemMetrics(SM_CYDLGFRAME) + LineHeight;
    Window = ::CreateWindowExA(0, ClassName, title, WS_POPUP | WS_CAPTION | WS_VISIBLE,
                               (::GetSystemMetrics(SM_CXSCREEN) - Width) / 2,
                               (::GetSystemMetrics(SM_CYSCREEN) - height) / 2, Width, height, nullptr, nullptr,
                               instance, nullptr);
    if (!Window) return;
    Line = ::CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE,
                             12, LineHeight / 4, Width - 24, LineHeight / 2, Window, nullptr, instance, nullptr);
    ::UpdateWindow(Window);
}

ProgressBox::~ProgressBox()
{
    if (Window) ::DestroyWindow(Window);
}

void ProgressBox::Show(const char* text)
{
    if (!Line) return;
    ::SendMessageA(Line, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
    ::UpdateWindow(Line);
}
