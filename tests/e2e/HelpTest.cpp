// Help from the shipped installer started from disk 1's image, as the
// launcher starts it: the platform's help viewer opens tsw_inst.hlp from
// SETUP at the topic of the window whose Help was pressed.
#include "tests/e2e/FlowFixture.h"

#include <functional>

#include "tests/kit/FileTree.h"
#include "tests/kit/GuiDriver.h"
#include "tests/kit/PrivateDesktop.h"
#include "tests/kit/WindowFinder.h"

using namespace flow;

namespace {
constexpr const char* HelpTitle = "Tessaryn 3.0 Installation Help";
constexpr int HelpCommand = 6;     // the main window's menu
constexpr int HelpButton = 9;      // in each dialog
constexpr DWORD ViewerWaitMs = 30000;

BOOL CALLBACK CollectRichEditText(HWND child, LPARAM text)
{
    if (WindowClassName(child).find("RichEdit") != std::string::npos)
        *reinterpret_cast<std::string*>(text) += WindowText(child);
    return TRUE;
}

// The viewer's text, once it shows the topic with this title (a viewer
// already open moves to it); what it shows last otherwise.
std::string ShownTopic(HWND viewer, const std::string& topic)
{
    std::string text;
    for (DWORD start = ::GetTickCount(); ::GetTickCount() - start < ViewerWaitMs; ::Sleep(50)) {
        text.clear();
        ::EnumChildWindows(viewer, CollectRichEditText, reinterpret_cast<LPARAM>(&text));
        if (text.rfind(topic, 0) == 0) break;
    }
    return text;
}

class Help : public FlowTest {
protected:
    // One Help press: Wine's help viewer (class MS_WINHELP) with the file's
    // title as its caption, the one an earlier press opened or a new one,
    // shows the topic with this title (its rich edit control's text) and no
    // box. Its process id goes to `viewerProcess`.
    void ExpectTopic(const std::function<void()>& press, const std::string& topic, DWORD& viewerProcess)
    {
        SCOPED_TRACE(topic);
        WindowRecorder recorder;
        press();
        HWND viewer = nullptr;
        ASSERT_TRUE(WaitForWindow({HelpTitle, "MS_WINHELP", 0}, viewer, ViewerWaitMs));
        ::GetWindowThreadProcessId(viewer, &viewerProcess);
        const std::string shown = ShownTopic(viewer, topic);
        EXPECT_EQ(0u, shown.rfind(topic, 0)) << shown;
        recorder.Poll();
        for (const WindowInfo& window : recorder.Seen())
            EXPECT_FALSE(window.ProcessId == viewerProcess && window.ClassName == "#32770")
                << "the viewer showed the box \"" << window.Title << "\"";
    }

    void PressInDialog(Installer& installer, int command, const std::string& title, const std::string& topic,
                       DWORD& viewerProcess)
    {
        HWND dialog = nullptr;
        ASSERT_TRUE(installer.OpenDialog(command, title, dialog));
        ExpectTopic([dialog] { PressButton(dialog, HelpButton); }, topic, viewerProcess);
        ASSERT_TRUE(installer.Press(dialog, IDCANCEL));
    }
};
}

// SETUP.EXE copies SETUP's help file to a folder of its own and starts the
// installer with that folder as its current directory, where the viewer
// finds a help file named without a folder. The temporary folder's long
// form would give the viewer a path of more than 127 characters; the copy
// goes to its short form. Closing the installer ends the viewer it opened,
// which would otherwise keep the folder (its current directory).
TEST_P(Help, EachHelpPressOpensItsTopicFromTheHelpFileOnDisk1)
{
    const std::string why = FloppyImage::Unavailable();
    if (!why.empty()) GTEST_SKIP() << "floppy images cannot be mounted: " << why;
    TSTESTKIT_RUN_ON_PRIVATE_DESKTOP();
    ASSERT_NO_FATAL_FAILURE(Prepare(Progman::StandIn));
    ASSERT_NO_FATAL_FAILURE(UseImages());
    ReportedWindows system("SETUP.EXE", Build().System);
    const std::string temporary =
        *Work / "A temporary folder with a name too long for the help viewer\\and a second folder";
    ASSERT_TRUE(MakeDirectories(temporary));
    ASSERT_GT(temporary.size() + std::string("\\TSW00000.TMP\\TSW_INST.HLP").size(), 127u);

    Installer installer(StartedBySetup{}, {"TMP=" + temporary, "TEMP=" + temporary});
    ASSERT_TRUE(installer.WaitForMainWindow());
    ASSERT_EQ(1u, Names(temporary).size()) << "started from a copy";
    // The help comes once the main window is there.
    ASSERT_TRUE(WaitForFile(temporary + "\\" + Names(temporary)[0] + "\\TSW_INST.HLP"));
    // The viewer stays open from press to press, as it does for a person.
    HWND main = installer.MainWindow();
    DWORD viewer = 0;
    ASSERT_NO_FATAL_FAILURE(ExpectTopic([main] { PostCommand(main, HelpCommand); }, "Installing Tessaryn 3.0", viewer));
    ASSERT_NO_FATAL_FAILURE(PressInDialog(installer, LocalCommand, LocalDialogTitle, "Local installation", viewer));
    ASSERT_NO_FATAL_FAILURE(
        PressInDialog(installer, NetworkCommand, NetworkDialogTitle, "Network installation", viewer));
    ASSERT_NO_FATAL_FAILURE(PressInDialog(installer, UpdateCommand, UpdateDialogTitle, "Maintenance update", viewer));
    ASSERT_NO_FATAL_FAILURE(ExpectTopic([main] { PostCommand(main, HelpCommand); }, "Installing Tessaryn 3.0", viewer));
    HANDLE viewerProcess = ::OpenProcess(SYNCHRONIZE, FALSE, viewer);
    ASSERT_TRUE(installer.Close());
    EXPECT_EQ(0u, installer.Report().InstallerExitCode) << "SETUP.EXE's exit code";
    EXPECT_EQ(WAIT_OBJECT_0, ::WaitForSingleObject(viewerProcess, 10000)) << "the viewer outlived the installer";
    ::CloseHandle(viewerProcess);
    EXPECT_EQ(std::vector<std::string>(), Names(temporary));
}

INSTANTIATE_TEST_SUITE_P(Builds, Help, ::testing::Values(Build95, BuildNt), BuildName);
