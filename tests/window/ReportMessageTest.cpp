#include "shell/ReportMessage.h"

#include "dialogs/UpdateDialog.h"
#include "framework/FrameWindow.h"
#include "shell/plain/MessageTable.h"
#include "tests/kit/BoxWatcher.h"
#include "tests/window/InstallerFixture.h"

#include <gtest/gtest.h>

#include <new>

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

namespace {
constexpr int CommandThatThrows = 4711;

// A window and a dialog of the main window whose handlers run out of memory.
class ThrowingWindow : public TFrameWindow {
public:
    explicit ThrowingWindow(TWindow* parent) : TFrameWindow(parent, "Throwing")
    {
        AddCommand(CommandThatThrows, [] { throw std::bad_alloc(); });
    }
};

class ThrowingDialog : public TDialog {
public:
    explicit ThrowingDialog(TWindow* parent) : TDialog(parent, DlgMaintenanceUpdate) {}

protected:
    void SetupWindow() override
    {
        TDialog::SetupWindow();
        // Should the scripted answers stall, the dialog still ends.
        ::SetTimer(GetHandle(), 1, 15000, &GiveUp);
    }
    void OnHelp() override { throw std::bad_alloc(); }

private:
    static void CALLBACK GiveUp(HWND dialog, UINT, UINT_PTR, DWORD) { ::EndDialog(dialog, 0); }
};

using ExceptionInHandler = DialogTest;
}

TEST_F(ExceptionInHandler, IsReportedAsInsufficientMemoryAndTheWindowsStay)
{
    BoxWatcher boxes;
    ThrowingWindow window(Window);
    ASSERT_TRUE(window.Create());
    boxes.Expect("Installation Error", IDOK);
    EXPECT_EQ(0, ::SendMessageA(window.GetHandle(), WM_COMMAND, CommandThatThrows, 0));
    EXPECT_TRUE(::IsWindow(window.GetHandle()));

    ThrowingDialog dialog(Window);
    boxes.Expect("Maintenance Update", IDHELP);
    boxes.Expect("Installation Error", IDOK);
    boxes.Expect("Maintenance Update", IDCANCEL);
    EXPECT_EQ(IDCANCEL, dialog.Execute()) << "the dialog did not stay open after its failed command";

    EXPECT_TRUE(::IsWindow(Window->GetHandle()));
    EXPECT_EQ(std::vector<std::string>({"Installation Error|Insufficient Memory", "Installation Error|Insufficient Memory"}),
              MessageBoxes(boxes));
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
