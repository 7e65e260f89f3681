#pragma once
#include "framework/Application.h"

// The installer's application object: its main window is TInstallWindow.
// Created at start-up, before anything touches a drive.
class InstallApp : public TApplication {
public:
    InstallApp();

protected:
    void InitMainWindow() override;
};

constexpr int ApplicationIconId = 222;
