#include "tests/kit/GuiDriver.h"

#include "tests/kit/BoxWatcher.h"

namespace {
constexpr UINT SendTimeoutMs = 5000;

bool SendWithTimeout(HWND window, UINT message, WPARAM wParam, LPARAM lParam, DWORD_PTR* result = nullptr)
{
    DWORD_PTR answer = 0;
    bool ok = ::SendMessageTimeoutA(window, message, wParam, lParam, SMTO_ABORTIFHUNG, SendTimeoutMs, &answer) != 0;
    if (result) *result = answer;
    return ok;
}
}

void PressButton(HWND dialog, int buttonId)
{
    ::PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(buttonId, BN_CLICKED),
                   reinterpret_cast<LPARAM>(::GetDlgItem(dialog, buttonId)));
}

void PostCommand(HWND window, int commandId)
{
    ::PostMessageA(window, WM_COMMAND, MAKEWPARAM(commandId, 0), 0);
}

void PostClose(HWND window)
{
    ::PostMessageA(window, WM_CLOSE, 0, 0);
}

bool SetControlText(HWND dialog, int controlId, const std::string& text)
{
    HWND control = ::GetDlgItem(dialog, controlId);
    return control && SendWithTimeout(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

std::string ControlText(HWND dialog, int controlId)
{
    HWND control = ::GetDlgItem(dialog, controlId);
    return control ? WindowText(control) : std::string();
}

bool SetCheck(HWND dialog, int controlId, bool checked)
{
    HWND control = ::GetDlgItem(dialog, controlId);
    return control && SendWithTimeout(control, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

bool IsChecked(HWND dialog, int controlId)
{
    HWND control = ::GetDlgItem(dialog, controlId);
    DWORD_PTR state = 0;
    return control && SendWithTimeout(control, BM_GETCHECK, 0, 0, &state) && state == BST_CHECKED;
}

RECT WindowRect(HWND window)
{
    RECT rect = {};
    ::GetWindowRect(window, &rect);
    return rect;
}

LONG_PTR WindowStyle(HWND window)
{
    return ::GetWindowLongPtrA(window, GWL_STYLE);
}

void TypeInto(HWND dialog, int controlId, const std::string& text)
{
    HWND edit = ::GetDlgItem(dialog, controlId);
    for (char c : text) ::SendMessageA(edit, WM_CHAR, static_cast<unsigned char>(c), 1);
}

std::vector<int> TabOrder(HWND dialog, int first)
{
    std::vector<int> order;
    HWND control = ::GetDlgItem(dialog, first);
    for (int i = 0; control && i < 20; ++i) {
        order.push_back(::GetDlgCtrlID(control));
        control = ::GetNextDlgTabItem(dialog, control, FALSE);
        if (control == ::GetDlgItem(dialog, first)) break;
    }
    return order;
}

RECT ControlRect(HWND dialog, int controlId)
{
    RECT rect = WindowRect(::GetDlgItem(dialog, controlId));
    ::MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

RECT DialogUnits(HWND dialog, int x, int y, int width, int height)
{
    RECT rect = {x, y, width, height};
    ::MapDialogRect(dialog, &rect);
    rect.right += rect.left;
    rect.bottom += rect.top;
    return rect;
}

bool CentredOnScreen(HWND window)
{
    RECT rect = WindowRect(window);
    int width = rect.right - rect.left;
    int height = rect.bottom - rect.top;
    return rect.left == (::GetSystemMetrics(SM_CXSCREEN) - width) / 2 &&
           rect.top == (::GetSystemMetrics(SM_CYSCREEN) - height) / 2;
}
