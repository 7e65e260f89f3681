#include "shell/CenterOnScreen.h"

POINT CenteredPosition(int windowWidth, int windowHeight, int screenWidth, int screenHeight)
{
    POINT p;
    p.x = (screenWidth - windowWidth) / 2;
    p.y = (screenHeight - windowHeight) / 2;
    return p;
}

BOOL CenterOnScreen(HWND window)
{
    RECT rect;
    ::GetWindowRect(window, &rect);
    POINT p = CenteredPosition(rect.right - rect.left, rect.bottom - rect.top,
                               ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN));
    return ::SetWindowPos(window, nullptr, p.x, p.y, 0, 0, SWP_NOZORDER | SWP_NOSIZE);
}
