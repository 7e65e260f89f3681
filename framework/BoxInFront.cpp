#include "framework/BoxInFront.h"

namespace {
// How long the box takes the foreground back, and how often it looks.
constexpr DWORD kGuardMs = 6000;
constexpr UINT kCheckMs = 150;

void BringToFront(HWND box)
{
    ::SetWindowPos(box, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    if (::GetForegroundWindow() != box) ::SetForegroundWindow(box);
}
}

TBoxInFront* TBoxInFront::Active = nullptr;

TBoxInFront::TBoxInFront(UINT style)
{
    if (!(style & MB_TOPMOST) || Active) return;
    Active = this;
    HookHandle = ::SetWindowsHookExA(WH_CBT, &TBoxInFront::Hook, nullptr, ::GetCurrentThreadId());
    // A thread timer: the box's own message loop runs it.
    Timer = ::SetTimer(nullptr, 0, kCheckMs, &TBoxInFront::Check);
}

TBoxInFront::~TBoxInFront()
{
    if (Active != this) return;
    if (Timer) ::KillTimer(nullptr, Timer);
    if (HookHandle) ::UnhookWindowsHookEx(HookHandle);
    Active = nullptr;
}

LRESULT CALLBACK TBoxInFront::Hook(int code, WPARAM wParam, LPARAM lParam)
{
    // The first window activated is the box.
    if (code == HCBT_ACTIVATE && Active && !Active->Box) {
        Active->Box = reinterpret_cast<HWND>(wParam);
        Active->Shown = ::GetTickCount();
    }
    return ::CallNextHookEx(Active ? Active->HookHandle : nullptr, code, wParam, lParam);
}

VOID CALLBACK TBoxInFront::Check(HWND, UINT, UINT_PTR, DWORD)
{
    if (!Active || !Active->Box || !::IsWindow(Active->Box)) return;
    if (::GetTickCount() - Active->Shown < kGuardMs) BringToFront(Active->Box);
}
