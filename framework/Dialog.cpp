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

void TDialog::OnOk()
{
    if (CanClose()) EndDialog(IDOK);
}

void TDialog::OnCancel()
{
    EndDialog(IDCANCEL);
}

bool TDialog::OnCommand(int id)
{
    return DispatchCommand(id);
}

bool TDialog::HandleDialogMessage(UINT message, WPARAM wParam)
{
    switch (message) {
    case WM_INITDIALOG:
        SetupWindow();
        return true;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK:
            OnOk();
            return true;
        case IDCANCEL:
            OnCancel();
            return true;
        case IDHELP:
            OnHelp();
            return true;
        default:
            return OnCommand(LOWORD(wParam));
        }
    case WM_CLOSE:
        OnCancel();
        return true;
    default:
        return false;
    }
}

INT_PTR CALLBACK TDialog::DialogProc(HWND handle, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) reinterpret_cast<TDialog*>(lParam)->AttachHandle(handle);
    auto* dialog = static_cast<TDialog*>(FromHandle(handle));
    if (!dialog) return FALSE;
    bool handled = dialog->HandleDialogMessage(message, wParam);
    if (message == WM_NCDESTROY) dialog->DetachHandle();
    return handled ? TRUE : FALSE;
}
