#include "tests/window/InstallerFixture.h"

#include "shell/plain/Settings.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace testenv {
std::string Root()
{
    const char* unixPath = std::getenv("TSINST_TEST_DATA");
    if (!unixPath || unixPath[0] != '/') return std::string();
    std::string path = std::string("Z:") + unixPath;
    std::replace(path.begin(), path.end(), '/', '\\');
    while (path.size() > 3 && path.back() == '\\') path.pop_back();
    return path;
}

std::string FloppyFolder() { return Join(Root(), "floppy"); }
std::string FullDiskFolder() { return Join(Root(), "full"); }
std::string SampleRelease() { return Join(Root(), "release"); }
std::string SampleSet() { return Join(Root(), "set"); }

std::string FullDiskUnavailable()
{
    bool found = false;
    std::string why = ReadBytes(Join(Root(), "full.unavailable"), &found);
    if (!found) return std::string();
    return why.empty() ? std::string("no reason given") : why;
}

const char* Variant() { return IsNtBuild ? "nt" : "95"; }

std::string WriteProtectedMedia() { return Join(Root(), "readonly-media"); }

bool WriteProtectedDiskHasMedia()
{
    const std::string probe = Join(WriteProtectedMedia(), "probe.txt");
    if (!WriteFileBytes(probe, "probe")) return false;
    std::string shown = ReadBytes(std::string(1, ReadOnlyDrive) + ":\\probe.txt");
    ::DeleteFileA(probe.c_str());
    return shown == "probe";
}
}

void EmulatedFloppy::Eject()
{
    const std::string empty = testenv::FloppyFolder();
    RemoveTree(empty);
    MakeDirectories(empty);
    if (Current != empty) Insert(empty);
}

EmulatedFloppy& EmulatedFloppy::Shared()
{
    static EmulatedFloppy drive;
    return drive;
}

void EmulatedFloppy::Insert(const std::string& diskFolder)
{
    Current.clear();
    if (FloppyDrive::Insert(diskFolder))
        Current = diskFolder;
    else
        ADD_FAILURE() << "cannot insert " << diskFolder << ": " << LastError();
}

ProgressTrigger* ProgressTrigger::Active = nullptr;

LRESULT CALLBACK ProgressTrigger::Hook(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HC_ACTION && Active && !Active->Done) {
        auto* message = reinterpret_cast<CWPRETSTRUCT*>(lParam);
        TShowProg* progress = message->message == WM_PAINT ? ProgressObject(message->hwnd) : nullptr;
        if (progress && progress->GetText() == Active->Text) {
            Active->Done = true;
            Active->Action();
        }
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

namespace {
ProgressRecorder* ActiveRecorder = nullptr;


}

TShowProg* ProgressObject(HWND window)
{
    char className[32] = {};
    ::GetClassNameA(window, className, sizeof className);
    // The installer's only window of the framework's generic class is the
    // progress window (the main window has a class of its own, dialogs the
    // dialog class); the installer's code carries no type information to
    // check that with.
    if (std::strcmp(className, "TsWindow") != 0) return nullptr;
    auto* object = reinterpret_cast<TWindow*>(::GetWindowLongPtrA(window, GWLP_USERDATA));
    return static_cast<TShowProg*>(object);
}

HWND FindProgressWindow()
{
    for (const WindowInfo& window : VisibleTopLevelWindows(::GetCurrentProcessId()))
        if (ProgressObject(window.Handle)) return window.Handle;
    return nullptr;
}

ProgressRecorder::ProgressRecorder()
{
    ActiveRecorder = this;
    Handle = ::SetWindowsHookExA(WH_CALLWNDPROCRET, &ProgressRecorder::Hook, nullptr, ::GetCurrentThreadId());
}

ProgressRecorder::~ProgressRecorder()
{
    if (Handle) ::UnhookWindowsHookEx(Handle);
    if (ActiveRecorder == this) ActiveRecorder = nullptr;
}

LRESULT CALLBACK ProgressRecorder::Hook(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HC_ACTION && ActiveRecorder) {
        auto* message = reinterpret_cast<CWPRETSTRUCT*>(lParam);
        if (message->message == WM_PAINT) {
            if (TShowProg* progress = ProgressObject(message->hwnd)) {
                ProgressFrame frame;
                frame.Window = message->hwnd;
                char caption[128] = {};
                ::GetWindowTextA(message->hwnd, caption, sizeof caption);
                frame.Caption = caption;
                frame.Text = progress->GetText();
                ::GetWindowRect(message->hwnd, &frame.Bounds);
                frame.Percent = progress->GetPercent();
                auto& frames = ActiveRecorder->Recorded;
                if (frames.empty() || frames.back().Window != frame.Window || frames.back().Text != frame.Text)
                    frames.push_back(frame);
                else
                    frames.back().Percent = frame.Percent;  // the gauge moved under the same text
            }
        }
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

std::vector<std::string> ProgressRecorder::ListsRead() const
{
    std::vector<std::string> lists;
    const std::string prefix = "Reading ";
    const std::string suffix = " . . .";
    for (const ProgressFrame& frame : Recorded) {
        const std::string& text = frame.Text;
        if (text.compare(0, prefix.size(), prefix) == 0 && text.size() > prefix.size() + suffix.size() &&
            text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0)
            lists.push_back(text.substr(prefix.size(), text.size() - prefix.size() - suffix.size()));
    }
    return lists;
}

std::vector<std::string> ProgressRecorder::Lines() const
{
    std::vector<std::string> lines;
    for (const ProgressFrame& frame : Recorded) lines.push_back(frame.Caption + "|" + frame.Text);
    return lines;
}

void MainWindowTest::SetUp()
{
    ResetSettings();
    SourceDrive[0] = 'A';
    SourceDrive[1] = '\0';
    CreateWindowUnderTest();
}

void MainWindowTest::TearDown()
{
    DestroyWindowUnderTest();
    ResetSettings();
}

void MainWindowTest::CreateWindowUnderTest()
{
    App = std::make_unique<TApplication>();
    Window = new TInstallWindow(nullptr, MainWindowTitle);
    App->SetMainWindow(std::unique_ptr<TFrameWindow>(Window));
    ASSERT_TRUE(Window->Create());
    ::ShowWindow(Window->GetHandle(), SW_SHOWNORMAL);
    ::UpdateWindow(Window->GetHandle());
}

void MainWindowTest::DestroyWindowUnderTest()
{
    App.reset();
    Window = nullptr;
    // A destroyed main window asks the message loop to end; there is none
    // here, and the request must not end the next test's message boxes.
    MSG message;
    while (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message != WM_QUIT) ::DispatchMessageA(&message);
    }
}

void DialogTest::SetUp()
{
    MainWindowTest::SetUp();
    ResetSettings();
}

std::vector<std::string> MessageBoxes(const BoxWatcher& boxes)
{
    static const char* const dialogTitles[] = {"Tessaryn 3.0 Local Drive Installation",
                                               "Tessaryn 3.0 Network Drive Installation", "Maintenance Update"};
    std::vector<std::string> lines;
    for (const BoxWatcher::Box& box : boxes.Seen()) {
        bool dialog = false;
        for (const char* title : dialogTitles) dialog = dialog || box.Title == title;
        if (!dialog) lines.push_back(box.Title + "|" + box.Text);
    }
    return lines;
}

int InstallerTest::Beeps = 0;

BOOL WINAPI InstallerTest::CountBeep(UINT)
{
    ++Beeps;
    return TRUE;
}

void InstallerTest::SetUp()
{
    ASSERT_FALSE(testenv::Root().empty())
        << "TSINST_TEST_DATA is not set: run through CTest, whose fixture tests/test_data.sh "
           "prepares drive A: and the test folders";
    ASSERT_TRUE(IsDirectory(testenv::FloppyFolder())) << testenv::FloppyFolder();
    OptionsBeep = &CountBeep;
    Floppy.Eject();
    // The fixture's floppy folder is what A: shows.
    ASSERT_TRUE(WriteFileBytes(Join(testenv::FloppyFolder(), "probe.txt"), "probe"));
    ASSERT_TRUE(FileExists("A:\\probe.txt")) << "drive A: does not show " << testenv::FloppyFolder();
    ::DeleteFileA("A:\\probe.txt");

    const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
    Scratch = Join(Join(testenv::Root(), testenv::Variant()),
                   std::string(info->test_suite_name()) + "." + info->name());
    RemoveTree(Scratch);
    ASSERT_TRUE(MakeDirectories(Scratch)) << Scratch;
    MainWindowTest::SetUp();
    Beeps = 0;
}

void InstallerTest::TearDown()
{
    MainWindowTest::TearDown();
    OptionsBeep = &::MessageBeep;
    Floppy.Eject();
    for (const BoxWatcher::Box& box : Boxes.Seen())
        EXPECT_TRUE(box.Expected) << "unexpected box: " << box.Title << "|" << box.Text;
    EXPECT_EQ(0u, Boxes.PendingAnswers()) << "a box the test waited for never appeared";
    if (!HasFailure()) RemoveTree(Scratch);
}

std::string InstallerTest::Folder(const std::string& name)
{
    std::string path = Join(Scratch, name);
    MakeDirectories(path);
    return path;
}
