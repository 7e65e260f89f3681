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
    // The source is read into a buffer of exactly kUpdateSourceSize characters.
    TUpdatetsw_Dlg(TWindow* parent, char (&updateSource)[kUpdateSourceSize]);
    ~TUpdatetsw_Dlg() override = default;

    bool AcceptEntries();

    bool CanClose() override { return AcceptEntries(); }

    char (&UpdateSource)[kUpdateSourceSize];

protected:
    void SetupWindow() override;
    void OnHelp() override;
};
