// active_window: names the window that Wine shows as active (the foreground
// window) in the prefix it runs in, for tools/wine-setup.sh, which presses keys
// in that window:
//
//   active_window.exe   prints "<X window id in decimal><TAB><title>"
//
// X's input focus need not follow Wine's active window: a window that another
// process brings to the front (the help viewer the installer starts) becomes
// active in Wine while X keeps sending key presses to the window it had, so
// the script gives X's focus to this X window first. Wine's X11 driver keeps
// each top-level window's X window as the property "__wine_x11_whole_window".
//
// Exit status: 0 when a window is active; 1 when none is (or it has no X
// window: another display driver).
#include <windows.h>

#include <cstdio>

int main()
{
    HWND active = ::GetForegroundWindow();
    if (!active) return 1;
    const ULONG_PTR xWindow = reinterpret_cast<ULONG_PTR>(::GetPropA(active, "__wine_x11_whole_window"));
    if (!xWindow) return 1;
    char title[256] = {};
    ::GetWindowTextA(active, title, sizeof title);
    std::printf("%llu\t%s\n", static_cast<unsigned long long>(xWindow), title);
    return 0;
}
