#include "framework/Dialog.h"

TDialog::TDialog(TWindow* parent, int resourceId)
    : TWindow(parent, nullptr), ResourceId(resourceId)
{
}

int TDialog::Execute()
{
    HWND owner = GetParent() ? GetParent()->GetHandle() : nullptr;
    INT_PTR result = ::DialogBoxParamA(ModuleInstance(), MAKEINTRESOURCEA(ResourceId), owner,
                                       &TDialog::DialogProc, reinterpret_cast<LPARAM>(this));
    return static_cast<int>(result);
}

LRESULT TDialog::SendDlgItemMsg(int id, UINT message, WPARAM wParam, LPARAM lParam)
{
    return ::SendDlgItemMessageA(GetHandle(), id, message, wParam, lParam);
}

bool TDialog::HandleDialogMessage(UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        SetupWindow();
        return true;
    case WM_COMMAND: {
        int id = LOWORD(wParam);
        if (id == IDOK) {
            if (CanClose()) ::EndDialog(GetHandle(), IDOK);
            return true;
        }
        if (id == IDCANCEL) {
            ::EndDialog(GetHandle(), IDCANCEL);
            return true;
        }
        return DispatchCommand(id);
    }
    case WM_CLOSE:
        ::EndDialog(GetHandle(), IDCANCEL);
        return true;
    default:
        return false;
    }
}

INT_PTR CALLBACK TDialog::DialogProc(HWND handle, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        auto* dialog = reinterpret_cast<TDialog*>(lParam);
        ::SetWindowLongPtrA(handle, DWLP_USER, lParam);
        dialog->AttachHandle(handle);
    }
    auto* dialog = reinterpret_cast<TDialog*>(::GetWindowLongPtrA(handle, DWLP_USER));
    if (!dialog) return FALSE;
    bool handled = dialog->HandleDialogMessage(message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        ::SetWindowLongPtrA(handle, DWLP_USER, 0);
        dialog->DetachHandle();
    }
    return handled ? TRUE : FALSE;
}
