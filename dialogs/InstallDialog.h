#pragma once
#include "framework/Dialog.h"

// Dialog templates of the installation.
enum InstallDialogResource : int {
    DlgLocalInstall = 3048,
    DlgNetworkInstall = 3049,
};

// Dialog control ids of the installation dialogs.
enum InstallDialogControl : int {
    IdProgram = 105,  // the five component boxes, 105 to 109
    IdSourceDrive = 110,
    IdTargetDirectory = 111,
    IdHelpButton = IDHELP,  // 9, handled by the dialog's help hook
};

// The installation dialog (local 3048 or network 3049): edits the source
// drive, the target directory and the component flags in place.
class TInstall_Dlg : public TDialog {
public:
    TInstall_Dlg(TWindow* parent, int resourceId, bool isNetwork);
    ~TInstall_Dlg() override = default;

    bool AcceptEntries();

    bool CanClose() override { return AcceptEntries(); }

    int IsNetwork;

protected:
    void SetupWindow() override;
    void OnHelp() override;
};
