#pragma once
// What the in-process tests of the installer's engine share: a real main
// window with every box answered by a BoxWatcher, test files written through
// Win32, the emulated floppy drive A: and a record of the progress windows.
//
// Outside this process, tests/test_data.sh (a CTest fixture) has
// prepared the folder named by TSINST_TEST_DATA (see that script): drive A:
// shows ROOT/floppy, drive R: is write-protected, ROOT/full is a 64 KB disk,
// ROOT/release and ROOT/set are a sample release tree and its disk set.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "engine/ShowProg.h"
#include "framework/Application.h"
#include "shell/BuildVariant.h"
#include "shell/InstallWindow.h"
#include "shell/plain/Settings.h"
#include "tests/kit/BoxWatcher.h"
#include "tests/kit/DiskSet.h"
#include "tests/kit/FileTree.h"
#include "tests/kit/FloppyDrive.h"
#include "tests/kit/NoCopy.h"

// The prepared folders, as Windows paths (under Z:).
namespace testenv {
std::string Root();             // TSINST_TEST_DATA
std::string FloppyFolder();     // what drive A: shows
std::string FullDiskFolder();   // a 64 KB file system
std::string FullDiskUnavailable();  // why there is none, or empty
// The report of a file the full disk could not take, as the box says it.
inline std::string FullDiskReport(const std::string& file)
{
    return "Insufficient Disk Space " + file +
           "\n\nThe disk that takes this file is full. Make room on it (delete files you no longer need), then try "
           "again.";
}
constexpr char ReadOnlyDrive = 'R';
// The folder drive R: is mounted from, where tests lay out its contents.
std::string WriteProtectedMedia();
// False where this machine could not mount it so (R: is then a system
// folder nothing can be put on).
bool WriteProtectedDiskHasMedia();
std::string SampleRelease();
std::string SampleSet();        // disk1\ and disk2\ inside
// "95" or "nt": the two test programs run one after the other, each in a
// folder of its own.
const char* Variant();
}

// Drive A: as the kit's floppy drive (tests/kit/FloppyDrive.h), whose
// failures fail the test. Ejecting leaves the drive empty: A: shows the
// prepared floppy folder, emptied. Safe to call from a BoxWatcher action
// while a disk prompt is up.
class EmulatedFloppy : public FloppyDrive {
public:
    // Inserts the disk held by `diskFolder`.
    void Insert(const std::string& diskFolder);
    void Eject();

    // The one drive of this test program (finding and restoring the drive's
    // link costs a shell each).
    static EmulatedFloppy& Shared();

private:
    std::string Current;  // the folder A: shows, as far as this object knows
};

// Every text a progress window showed on this thread, in order, as painted.
struct ProgressFrame {
    HWND Window;
    std::string Caption;
    std::string Text;
    RECT Bounds;
    int Percent = -1;  // the gauge's percent as last painted with this text; -1: none
};

class ProgressRecorder : private NoCopy {
public:
    ProgressRecorder();
    ~ProgressRecorder();

    const std::vector<ProgressFrame>& Frames() const { return Recorded; }
    // The list names of the "Reading NAME . . ." texts, in order.
    std::vector<std::string> ListsRead() const;
    // "caption|text" of each frame.
    std::vector<std::string> Lines() const;
    void Clear() { Recorded.clear(); }

private:
    static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam);
    HHOOK Handle = nullptr;
    std::vector<ProgressFrame> Recorded;
};

// Something to do the moment a progress window first shows a given text: the
// synchronous repaint of each text change runs it on the installer's own
// thread, between two steps of a run.

class ProgressTrigger : private NoCopy {
public:
    ProgressTrigger(std::string text, std::function<void()> action)
        : Text(std::move(text)), Action(std::move(action))
    {
        Active = this;
        Handle = ::SetWindowsHookExA(WH_CALLWNDPROCRET, &ProgressTrigger::Hook, nullptr, ::GetCurrentThreadId());
    }
    ~ProgressTrigger()
    {
        if (Handle) ::UnhookWindowsHookEx(Handle);
        if (Active == this) Active = nullptr;
    }

    bool Fired() const { return Done; }

private:
    static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam);

    static ProgressTrigger* Active;
    HHOOK Handle = nullptr;
    std::string Text;
    std::function<void()> Action;
    bool Done = false;
};

// The progress window shown by this process, if any (any thread may ask).
HWND FindProgressWindow();
// The object behind a progress window's handle; null for other windows.
TShowProg* ProgressObject(HWND window);

// The installer's main window, created and shown, owned by an application
// object as in the real program, with the settings at their defaults and the
// source drive as the launcher gives it (A).
class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Creates the main window (SetUp does; tests of start-up call it again
    // after DestroyWindowUnderTest).
    void CreateWindowUnderTest();
    void DestroyWindowUnderTest();

    std::unique_ptr<TApplication> App;
    TInstallWindow* Window = nullptr;
};

// The main window as the owner of the dialogs under test, which each test
// runs modally with a BoxWatcher of its own; the settings at their defaults
// whatever an options file said.
class DialogTest : public MainWindowTest {
protected:
    void SetUp() override;
};

// The "title|text" lines of the message boxes seen, leaving out the dialogs
// under test (whose first label, id -1, reads as a box text).
std::vector<std::string> MessageBoxes(const BoxWatcher& boxes);

// The main window on a fresh floppy drive A: (empty), with a fresh scratch
// folder, every box answered by the fixture's BoxWatcher (a box the test did
// not expect fails it), the progress windows recorded and the options file's
// beeps counted.
class InstallerTest : public MainWindowTest {
protected:
    void SetUp() override;
    void TearDown() override;

    // A folder of this test's scratch folder, created.
    std::string Folder(const std::string& name);

    // The message boxes seen, "title|text".
    std::vector<std::string> Transcript() const { return Boxes.Transcript(); }

    BoxWatcher Boxes;
    ProgressRecorder Progress;
    EmulatedFloppy& Floppy = EmulatedFloppy::Shared();
    std::string Scratch;
    static int Beeps;  // options-file beeps since SetUp (the NT build's)

private:
    static BOOL WINAPI CountBeep(UINT);
};
