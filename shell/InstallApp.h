#pragma once
#include "framework/Application.h"

#include <memory>

class TMainWindow;

// The installer's application object, the front's and the engine's: its main
// window is the one `makeWindow` makes. Created at start-up, before anything
// touches a drive.
class InstallApp : public TApplication {
public:
    using WindowMaker = std::unique_ptr<TMainWindow> (*)();
    explicit InstallApp(WindowMaker makeWindow = nullptr);

protected:
    void InitMainWindow() override;

private:
    WindowMaker MakeWindow;
};

constexpr int ApplicationIconId = 222;
