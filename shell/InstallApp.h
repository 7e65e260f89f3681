#pragma once
#include "framework/Application.h"

// The installer's application object: its main window is TInstallWindow.
class InstallApp : public TApplication {
public:
    InstallApp() : TApplication(nullptr) {}

protected:
    void InitMainWindow() override;
};

constexpr int ApplicationIconId = 222;
