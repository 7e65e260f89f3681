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

// The text of the topic the viewer shows, once it has been laid out.
std::string ShownTopic(HWND viewer)
{
    std::string text;
    for (int tries = 0; tries < 100 && text.empty(); ++tries) {
        ::EnumChildWindows(viewer, CollectRichEditText, reinterpret_cast<LPARAM>(&text));
        if (text.empty()) ::Sleep(50);
    }
    return text;
}

::testing::AssertionResult CloseViewer(HWND viewer, DWORD processId)
{
    HANDLE process = ::OpenProcess(SYNCHRONIZE, FALSE, processId);
    PostClose(viewer);
    const bool ended = process && ::WaitForSingleObject(process, 10000) == WAIT_OBJECT_0;
    if (process) ::CloseHandle(process);
    if (!ended) return ::testing::AssertionFailure() << "the help viewer did not end when closed";
    return ::testing::AssertionSuccess();
}

class Help : public FlowTest {
protected:
    // One Help press: Wine's help viewer (class MS_WINHELP) opens with the
    // file's title as its caption, at the topic with this title (its rich
    // edit control's text), shows no box, and is closed again, unless its
    // process id is to be kept in `leftOpen`.
    void ExpectTopic(const std::function<void()>& press, const std::string& topic, DWORD* leftOpen = nullptr)
    {
        SCOPED_TRACE(topic);
        WindowRecorder recorder;
        press();
        HWND viewer = nullptr;
        ASSERT_TRUE(WaitForWindow({HelpTitle, "MS_WINHELP", 0}, viewer, ViewerWaitMs));
        DWORD viewerProcess = 0;
        ::GetWindowThreadProcessId(viewer, &viewerProcess);
        const std::string shown = ShownTopic(viewer);
        EXPECT_EQ(0u, shown.rfind(topic, 0)) << shown;
        recorder.Poll();
        if (leftOpen) *leftOpen = viewerProcess;
        else ASSERT_TRUE(CloseViewer(viewer, viewerProcess));
        for (const WindowInfo& window : recorder.Seen())
            EXPECT_FALSE(window.ProcessId == viewerProcess && window.ClassName == "#32770")
                << "the viewer showed the box \"" << window.Title << "\"";
    }

    void PressInDialog(Installer& installer, int command, const std::string& title, const std::string& topic)
    {
        HWND dialog = nullptr;
        ASSERT_TRUE(installer.OpenDialog(command, title, dialog));
        ExpectTopic([dialog] { PressButton(dialog, HelpButton); }, topic);
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
    HWND main = installer.MainWindow();
    ASSERT_NO_FATAL_FAILURE(ExpectTopic([main] { PostCommand(main, HelpCommand); }, "Installing Tessaryn 3.0"));
    ASSERT_NO_FATAL_FAILURE(PressInDialog(installer, LocalCommand, LocalDialogTitle, "Local installation"));
    ASSERT_NO_FATAL_FAILURE(PressInDialog(installer, NetworkCommand, NetworkDialogTitle, "Network installation"));
    ASSERT_NO_FATAL_FAILURE(PressInDialog(installer, UpdateCommand, UpdateDialogTitle, "Maintenance update"));
    DWORD viewer = 0;
    ASSERT_NO_FATAL_FAILURE(ExpectTopic([main] { PostCommand(main, HelpCommand); }, "Installing Tessaryn 3.0",
                                        &viewer));
    HANDLE viewerProcess = ::OpenProcess(SYNCHRONIZE, FALSE, viewer);
    ASSERT_TRUE(installer.Close());
    EXPECT_EQ(0u, installer.Report().InstallerExitCode) << "SETUP.EXE's exit code";
    EXPECT_EQ(WAIT_OBJECT_0, ::WaitForSingleObject(viewerProcess, 10000)) << "the viewer outlived the installer";
    ::CloseHandle(viewerProcess);
    EXPECT_EQ(std::vector<std::string>(), Names(temporary));
}

INSTANTIATE_TEST_SUITE_P(Builds, Help, ::testing::Values(Build95, BuildNt), BuildName);
