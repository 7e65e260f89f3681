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
