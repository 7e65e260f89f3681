#pragma once
#include "framework/Window.h"

// A modal dialog built from a dialog template resource. The dialog procedure
// calls the hooks below: SetupWindow() once the controls exist, then one hook
// per command. IDOK ends the dialog when CanClose() agrees; IDCANCEL and the
// system close end it without asking.
class TDialog : public TWindow {
public:
    TDialog(TWindow* parent, int resourceId);

    // Runs the dialog modally: IDOK, IDCANCEL, or -1 when it could not be created.
    int Execute();

    virtual bool CanClose() { return true; }

protected:
    virtual void OnOk();
    virtual void OnCancel();
    virtual void OnHelp() {}                // the Help button, IDHELP
    virtual bool OnCommand(int id);         // any other command; true when handled

    void EndDialog(int result) { ::EndDialog(GetHandle(), result); }
    LRESULT SendDlgItemMsg(int id, UINT message, WPARAM wParam, LPARAM lParam);
    HWND GetItem(int id) const { return ::GetDlgItem(GetHandle(), id); }

private:
    static INT_PTR CALLBACK DialogProc(HWND handle, UINT message, WPARAM wParam, LPARAM lParam);
    bool HandleDialogMessage(UINT message, WPARAM wParam);

    int ResourceId;
};
