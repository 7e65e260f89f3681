#pragma once
#include <windows.h>

// While it lives, a message box this thread shows with MB_TOPMOST stays above
// other programs' windows and, for its first seconds, in the foreground: a
// window another program opens a moment later (the shell opening a program
// group's window) would otherwise cover it, and the box's own style is not
// kept on every system. Without MB_TOPMOST in `style` it does nothing. One
// box at a time: boxes are modal.
class TBoxInFront {
public:
    explicit TBoxInFront(UINT style);
    ~TBoxInFront();
    TBoxInFront(const TBoxInFront&) = delete;
    TBoxInFront& operator=(const TBoxInFront&) = delete;

private:
    static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam);
    static VOID CALLBACK Check(HWND, UINT, UINT_PTR, DWORD);

    static TBoxInFront* Active;
    HHOOK HookHandle = nullptr;
    UINT_PTR Timer = 0;
    HWND Box = nullptr;
    DWORD Shown = 0;
};
