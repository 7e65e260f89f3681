#pragma once
// What the installation and maintenance-update tests share: the sample data,
// installed trees compared file by file, the installer's boxes taken one by
// one in the order they appear, and a desktop of the test's own on which
// Program Manager is Wine's, the recording stand-in, or absent.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "tests/e2e/Installers.h"
#include "tests/kit/DdeServerProcess.h"
#include "tests/kit/FileTree.h"
#include "tests/kit/FloppyDrive.h"
#include "tests/kit/FloppyImage.h"
#include "tests/kit/LauncherRun.h"
#include "tests/kit/MappedDrive.h"
#include "tests/kit/PrivateDesktop.h"
#include "tests/kit/TempFolder.h"

namespace flow {

// Menu commands, dialog titles and control ids.
constexpr int LocalCommand = 1;
constexpr int NetworkCommand = 2;
constexpr int UpdateCommand = 5;
constexpr const char* LocalDialogTitle = "Tessaryn 3.0 Local Drive Installation";
constexpr const char* NetworkDialogTitle = "Tessaryn 3.0 Network Drive Installation";
constexpr const char* UpdateDialogTitle = "Maintenance Update";
constexpr int SourceField = 110;
constexpr int TargetField = 111;
constexpr int FirstComponentBox = 105;
constexpr int UpdateTargetField = 121;
constexpr int UpdateSourceField = 122;

constexpr const char* DiskPromptTitle = "New Disk Required";
constexpr const char* ExitQuestion = "Exit Installation Program";
constexpr const char* NoConversationText = "Can't start conversation.\nMake sure PROGMAN is running.";
// Wine's Program Manager refuses the Revisions item (see InstallChecks).
constexpr const char* RevisionsRefusedText =
    "Program Manager did not confirm these items of the group \"Tessaryn 3.0\": Revisions.\n\n"
    "Add what is missing in Program Manager, or install again.";

// The five component flags as the dialog's boxes and INSTALL.OPT hold them,
// one character '0' or '1' each: program, Crane, CCIR, Canada, examples.
constexpr const char* AllComponents = "11111";

// A folder of the sample data that tests/test_data.sh made (through
// TSINST_TEST_DATA), as a Windows path; empty when the variable is not set.
std::string DataFolder(const std::string& relative);

// A tree with upper-cased names, as installed trees are compared
// (tests/kit/FileTree.h), without the installation's record, whose lines
// the window tests read.
FileMap TreeOf(const std::string& folder);
bool ReadInstalledTree(const std::string& folder, FileMap& tree);
// The files a release tree installs for the components chosen (in the form
// of AllComponents): the program folders into the target itself, each other
// component into its subdirectory.
FileMap ReleaseFiles(const std::string& release, const std::string& components);
// The same files' paths in the release tree, by their installed paths.
std::map<std::string, std::string> ReleasePaths(const std::string& release, const std::string& components);
// The files of one release folder as the target's root receives them.
FileMap FolderFiles(const std::string& folder);
std::string Upper(std::string text);
std::string WindowsDirectory();

// INSTALL.OPT as the installer writes it: the target directory and the five
// flags in the form of AllComponents. Empty when the file is missing or not
// 631 bytes with the tag.
struct SavedOptions {
    bool Valid = false;
    std::string Target;
    std::string Components;
};
SavedOptions ReadOptionsFile(const std::string& path);
// The file's bytes for a target directory and the flags, as an attended run
// leaves them.
std::string OptionsFileBytes(const std::string& target, const std::string& components);
// The installation marker's exact bytes.
const std::string& MarkerBytes();

// The executes Program Manager should receive for a target directory (as
// the dialog stored it) and the captured programs, one command each,
// terminator included; with `removalItem`, the removal program's item last.
struct ProgramItemText {
    std::string File;
    std::string Title;
};
std::vector<std::string> GroupCommands(const std::string& target, const std::vector<ProgramItemText>& items,
                                       bool removalItem = false);
// The two titled programs of the sample release: TSW.EXE on disk 1 and
// RAINCALC.EXE on disk 2.
std::vector<ProgramItemText> SampleProgramItems();

// A message box or dialog of the installer.
struct Box {
    HWND Handle = nullptr;
    std::string Title;
    std::string Text;  // a message box's text; empty for a dialog
};

// As a person starts it: A:\SETUP.EXE with no arguments, which starts the
// build for the system it is told.
struct StartedBySetup {};

// The installer started by the launcher stand-in with "A:\" as its source,
// or by SETUP.EXE (itself started by the stand-in, whose report then tells
// SETUP.EXE's exit code).
class Installer {
public:
    // NAME=VALUE entries are set for SETUP.EXE.
    explicit Installer(StartedBySetup, const std::vector<std::string>& environment = {});
    // `source` is its source argument.
    explicit Installer(const InstallerBuild& build, const std::string& directory = std::string(),
                       const std::string& source = "A:\\");
    // The installer at `program` (a Windows path), e.g. A:\SETUP\TSINST95.EXE.
    explicit Installer(const std::string& program, const std::string& directory = std::string(),
                       const std::string& source = "A:\\");

    ::testing::AssertionResult WaitForMainWindow();
    HWND MainWindow() const { return Main; }
    DWORD ProcessId() const { return Pid; }

    // The next box or dialog of the installer that has not been returned yet
    // (boxes are modal, so they come one after the other).
    ::testing::AssertionResult NextBox(Box& box, DWORD timeoutMs = 20000);
    // The next box must have this title and text and the button; then
    // `before` runs (a disk swapped while the box is up), the button is
    // pressed and the box is waited away.
    ::testing::AssertionResult Answer(const std::string& title, const std::string& text, int button,
                                      const std::function<::testing::AssertionResult()>& before = nullptr);
    // Posts a menu command and waits for its dialog as the next box.
    ::testing::AssertionResult OpenDialog(int command, const std::string& title, HWND& dialog);
    // Presses a dialog's button and waits until it has gone.
    ::testing::AssertionResult Press(HWND dialog, int button);
    // Shows that the last command has returned without another box: the next
    // box is the local installation dialog opened by a new command, which is
    // then cancelled.
    ::testing::AssertionResult IdleWithoutBoxes();
    // Every box seen so far, "title|text".
    const std::vector<std::string>& Transcript() const { return Seen; }

    // Ends the installer through the exit command (when it is still there)
    // and waits for the launcher stand-in to see it end.
    ::testing::AssertionResult Close();
    ::testing::AssertionResult WaitForEnd() { return Run->WaitForEnd(); }
    const LauncherReport& Report() const { return Run->Report(); }

private:
    std::unique_ptr<LauncherRun> Run;
    bool BySetup = false;
    HWND Main = nullptr;
    DWORD Pid = 0;
    std::set<HWND> Returned;
    std::vector<std::string> Seen;
};

// The Program Manager group the installer makes.
constexpr const char* GroupName = "Tessaryn 3.0";

// The installer's next box must be the completion question `title`
// ("Exit Installation Program"). The shell opens the new group's window a
// moment after it is up (Wine's Program Manager on the test's desktop): the
// question must stay above that window, in the foreground.
::testing::AssertionResult QuestionStaysInFrontOfTheGroup(Installer& installer, const std::string& title,
                                                          Box& question);
// Closes the group's window that Wine's Program Manager opened, so that
// nothing of the test stays behind.
void CloseGroupFolderWindows(DWORD waitMs);

// The entries of the installation dialog.
struct InstallEntries {
    std::string Source = "A";
    std::string Target;
    std::string Components = AllComponents;
};
::testing::AssertionResult FillInstallDialog(HWND dialog, const InstallEntries& entries);
// The dialog's entries read back, components in the form of AllComponents.
InstallEntries ReadInstallDialog(HWND dialog);

// Who answers a DDE conversation with "PROGMAN" on the test's desktop.
enum class Progman { Wine, StandIn, Absent };

// Each test runs on a desktop of its own (see tests/kit/PrivateDesktop.h),
// starts there with Prepare(), and gets a fresh copy of the sample disk set
// with disk 1 in drive A:, and a target directory that does not exist yet.
class FlowTest : public ShippedInstallerTest {
protected:
    // Sets up the desktop's Program Manager, the disks and the target.
    // `diskSet` names a disk set of the sample data ("set" or "plain").
    void Prepare(Progman progman, const std::string& diskSet = "set");

    // Opens the installation dialog of `command`, fills it with `entries` and
    // presses Install.
    ::testing::AssertionResult SubmitInstallDialog(Installer& installer, int command, const InstallEntries& entries);
    // Runs an installation through the dialog of `command` up to its last
    // disk prompt: the dialog filled with `entries`, disk 1 (already in the
    // drive) confirmed, disk 2 put in while its prompt is up.
    ::testing::AssertionResult InstallThroughDisks(Installer& installer, int command, const InstallEntries& entries);

    // Puts disk 1 or 2 of this test into drive A:, as an Answer's step.
    std::function<::testing::AssertionResult()> InsertDisk(int disk);

    // Puts the floppy images of the sample disk set in place of the
    // folders: each mounted read-only, disk 1 in drive A:. The test skips
    // itself first where FloppyImage::Unavailable() says why it cannot.
    void UseImages();

    // A disk of this test (1 or 2): its copy of the disk set, or after
    // UseImages() the mounted image; disk 1 is in drive A: when the
    // installer starts.
    std::string DiskFolder(int disk) const;
    // The target directory as typed (it does not exist at first) and as the
    // dialog stores it (upper case).
    const std::string& Target() const { return TargetPath; }
    std::string StoredTarget() const { return Upper(TargetPath); }

    std::unique_ptr<TempFolder> Work;
    std::unique_ptr<FloppyImage> Images[2];  // unmounted after A: is put back
    std::unique_ptr<FloppyDrive> Floppy;
    std::unique_ptr<ShellDdeServersHidden> WineServices;
    std::unique_ptr<DdeServerProcess> Server;
    std::string TargetPath;
};

}  // namespace flow
