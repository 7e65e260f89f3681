#include "framework/FrameWindow.h"

#include "framework/CommandIds.h"

TFrameWindow::TFrameWindow(TWindow* parent, const char* title)
    : TWindow(parent, title)
{
    AddCommand(CM_EXIT, [this] { CloseWindow(); });
}

void TFrameWindow::AssignMenu(const char* resourceName)
{
    MenuName = resourceName ? resourceName : "";
}

const char* TFrameWindow::ClassName() const
{
    return "TsFrameWindow";
}

HMENU TFrameWindow::CreationMenu()
{
    if (MenuName.empty()) return nullptr;
    return ::LoadMenuA(ModuleInstance(), MenuName.c_str());
}

void TFrameWindow::SetupWindow()
{
    if (!IconId) return;
    HICON icon = ::LoadIconA(ModuleInstance(), MAKEINTRESOURCEA(IconId));
    if (icon) {
        ::SendMessageA(GetHandle(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
        ::SendMessageA(GetHandle(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
    }
}

void TFrameWindow::CloseWindow()
{
    if (CanClose()) Destroy();
}

LRESULT TFrameWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CLOSE:
        CloseWindow();
        return 0;
    case WM_QUERYENDSESSION:
        // The end of the session asks as a close does; the window itself
        // goes with the process.
        return CanClose() ? TRUE : FALSE;
    case WM_DESTROY:
        if (EndsMessageLoop) ::PostQuitMessage(0);
        return 0;
    default:
        break;
    }
    return TWindow::HandleMessage(message, wParam, lParam);
}
