#include "dialogs/EntryField.h"

#include "shell/ReportMessage.h"
#include "shell/plain/PathHelpers.h"

bool AcceptEntryField(HWND dialog, int title, const EntryField& field)
{
    ::SendDlgItemMessageA(dialog, field.Id, WM_GETTEXT, field.Size, reinterpret_cast<LPARAM>(field.Setting));
    TrimSpaces(field.Setting);
    UpperCaseAscii(field.Setting);
    if (field.Acceptable(field.Setting)) return true;
    ReportMessage(dialog, title, field.Message);
    return false;
}
