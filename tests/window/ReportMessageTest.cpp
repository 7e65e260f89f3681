#include "shell/ReportMessage.h"

#include "framework/FrameWindow.h"
#include "shell/plain/MessageTable.h"
#include "tests/kit/BoxWatcher.h"
#include "tests/window/InstallerFixture.h"

#include <gtest/gtest.h>


TEST(ReportMessage, ShowsTitleAndTextFromTheTable)
{
    BoxWatcher boxes;
    boxes.Expect("Installation Error", IDOK);
    EXPECT_EQ(IDOK, ReportMessage(nullptr, MsgInstallationError, MsgUseSetup));
    boxes.Expect("Installation Error", IDOK);
    ReportMessage(nullptr, MsgInstallationError, MsgDirectoryCreationError, "C:\\TSW30\\LOOKUP");
    boxes.Expect("Update Error", IDOK);
    ReportMessage(nullptr, MsgUpdateError, MsgFileNotFound, "TSW.EX_");
    std::vector<std::string> expected = {
        "Installation Error|Install Tessaryn with SETUP.EXE",
        "Installation Error|Directory Creation Error C:\\TSW30\\LOOKUP",
        "Update Error|File Not Found TSW.EX_",
    };
    EXPECT_EQ(expected, boxes.Transcript());
}

TEST(Application, SaysSoWhenItsMainWindowCannotBeCreated)
{
    class WithoutWindow : public TApplication {
    protected:
        void InitMainWindow() override
        {
            auto window = std::make_unique<TFrameWindow>(nullptr, "Main");
            window->Attr.Style = WS_CHILD;  // a child window without a parent: the platform refuses it
            SetMainWindow(std::move(window));
        }
    };
    BoxWatcher boxes;
    boxes.Expect("Main", IDOK);
    EXPECT_EQ(1, WithoutWindow().Run());
    EXPECT_EQ(std::vector<std::string>{"Main|The main window could not be created."}, boxes.Transcript());
}

// The engine's way in: a main window that another object made and showed,
// taken over by a new one, whose command runs first; from then on the
// window's messages reach the new object, and its end ends the loop.
TEST(Application, TakesOverAShownMainWindowAndRunsItToItsEnd)
{
    TApplication front;
    auto made = std::make_unique<TFrameWindow>(nullptr, "Main");
    HWND window = nullptr;
    if (made->Create()) window = made->GetHandle();
    front.SetMainWindow(std::move(made));
    ASSERT_NE(nullptr, window);

    struct Taker : TFrameWindow {
        Taker() : TFrameWindow(nullptr, "Main") { AddCommand(100, [this] { ++Commands; }); }
        int Commands = 0;
    };
    auto taker = std::make_unique<Taker>();
    Taker& adopted = *taker;
    TApplication engine;
    const int exitCode = engine.RunAdopted(std::move(taker), window, [window] {
        ::SendMessageA(window, WM_COMMAND, 100, 0);
        ::PostMessageA(window, WM_CLOSE, 0, 0);
    });
    EXPECT_EQ(0, exitCode);
    EXPECT_EQ(1, adopted.Commands);
    EXPECT_FALSE(::IsWindow(window));
    EXPECT_EQ(1, TApplication().RunAdopted(std::make_unique<Taker>(), nullptr, [] {}));
}
