#pragma once
#include "framework/Dialog.h"

constexpr int DlgMaintenanceUpdate = 3052;  // the dialog template

enum UpdateDialogControl : int {
    IdUpdateDirectory = 121,
    IdUpdateSource = 122,
};

constexpr int kUpdateSourceSize = 80;

// The maintenance update dialog (3052): the installed directory and the
// update source, both stored upper-cased.
class TUpdatetsw_Dlg : public TDialog {
public:
    TUpdatetsw_Dlg(TWindow* parent, char* updateSource);
    ~TUpdatetsw_Dlg() override = default;

    void FillControls();
    bool AcceptEntries();
    void ShowHelp();

    bool CanClose() override { return AcceptEntries(); }

    char* UpdateSource;

protected:
    void SetupWindow() override { FillControls(); }
};
