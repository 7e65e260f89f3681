#pragma once
#include "framework/Window.h"

// A modal dialog built from a dialog template resource. SetupWindow() runs
// once its controls exist; CanClose() is the close query of IDOK. IDCANCEL
// and the system close end the dialog without asking.
class TDialog : public TWindow {
public:
    TDialog(TWindow* parent, int resourceId);

    // Runs the dialog modally: IDOK, IDCANCEL, or -1 when it could not be created.
    int Execute();

    virtual bool CanClose() { return true; }

protected:
    LRESULT SendDlgItemMsg(int id, UINT message, WPARAM wParam, LPARAM lParam);
    HWND GetItem(int id) const { return ::GetDlgItem(GetHandle(), id); }

private:
    static INT_PTR CALLBACK DialogProc(HWND handle, UINT message, WPARAM wParam, LPARAM lParam);
    bool HandleDialogMessage(UINT message, WPARAM wParam, LPARAM lParam);

    int ResourceId;
};
