// The benchmark's comparison program for start-up time and memory: a minimal
// Win32 window program that does the same expansion as an installation.
//
//   bench_window SOURCE TARGET
//
// It shows one plain window, "Bench Expansion Window", at the place and size
// of the installer's main window (so that both carry the same window
// surface). Command 1 (WM_COMMAND) reads the list files of SOURCE, creates the
// folders under TARGET and expands every file with LZOpenFileA, CopyLZFile and
// LZClose; then it asks "Exit" in a box titled "Expansion Complete" (Yes and
// No, as the installer's completion question). Yes ends the program; a
// failure is shown in a box titled "Expansion Failed".
#include "bench/BenchFiles.h"

#include <windows.h>

#include <string>

namespace {
const char* const WindowTitle = "Bench Expansion Window";
std::string Source;
std::string Target;

void Expand(HWND window)
{
    BenchPlan plan = PlanInstallation(Source, Target);
    std::string error = plan.Error;
    if (error.empty() && CreatePlanDirectories(plan, error) && ExpandPlan(plan, error) >= 0) {
        if (::MessageBoxA(window, "Exit", "Expansion Complete", MB_YESNO | MB_ICONQUESTION) == IDYES)
            ::DestroyWindow(window);
        return;
    }
    ::MessageBoxA(window, error.c_str(), "Expansion Failed", MB_OK | MB_ICONHAND);
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_COMMAND:
        if (LOWORD(wParam) == 1) Expand(window);
        return 0;
    case WM_DESTROY:
        ::PostQuitMessage(0);
        return 0;
    }
    return ::DefWindowProcA(window, message, wParam, lParam);
}

// The installer main window's place and size.
RECT InstallerWindowRect()
{
    HDC screen = ::GetDC(nullptr);
    int ppiX = ::GetDeviceCaps(screen, LOGPIXELSX);
    int ppiY = ::GetDeviceCaps(screen, LOGPIXELSY);
    TEXTMETRICA metrics = {};
    ::GetTextMetricsA(screen, &metrics);
    ::ReleaseDC(nullptr, screen);
    RECT rect;
    rect.left = ppiX / 2;
    rect.top = ppiY / 2;
    rect.right = rect.left + ::GetSystemMetrics(SM_CXSCREEN) - ppiX;
    rect.bottom = rect.top + ::GetSystemMetrics(SM_CYBORDER) + 10 * metrics.tmHeight +
                  ::GetSystemMetrics(SM_CYCAPTION) + ::GetSystemMetrics(SM_CYMENU);
    return rect;
}
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show)
{
    if (__argc != 3) {
        ::MessageBoxA(nullptr, "usage: bench_window SOURCE TARGET", "Expansion Failed", MB_OK);
        return 2;
    }
    Source = __argv[1];
    Target = __argv[2];

    WNDCLASSA wc = {};
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = instance;
    wc.hCursor = ::LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = "BenchExpansionWindow";
    if (!::RegisterClassA(&wc)) return 1;
    RECT rect = InstallerWindowRect();
    HWND window = ::CreateWindowA(wc.lpszClassName, WindowTitle, WS_CAPTION | WS_SYSMENU, rect.left, rect.top,
                                  rect.right - rect.left, rect.bottom - rect.top, nullptr, nullptr, instance,
                                  nullptr);
    if (!window) return 1;
    ::ShowWindow(window, show);
    ::UpdateWindow(window);

    MSG msg;
    while (::GetMessageA(&msg, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
    return 0;
}
