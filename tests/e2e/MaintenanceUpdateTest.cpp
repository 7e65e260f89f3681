// The maintenance update through the real installer, started by the
// launcher stand-in: the update dialog, where the update is read from, the
// checks that come before anything is written, the files replaced, the
// group sent again and the completion question.
//
// UpdateFlow runs with both builds; UpdateChecks with the Windows 95 build
// only (the builds differ only at start-up and exit).
#include "tests/e2e/FlowFixture.h"

#include "tests/kit/FileBytes.h"
#include "tests/kit/GuiDriver.h"
#include "tests/kit/ReportedWindows.h"
#include "tests/kit/UnixBridge.h"

using namespace flow;

namespace {
using UpdateFlow = FlowTest;
using UpdateChecks = FlowTest;

const char* const UpdateComplete = "Maintenance Update Complete";
const char* const UpdateFolder = "C:\\UPD";

// A folder of the update's source that the test fills and removes again.
class SourceFolder {
public:
    explicit SourceFolder(const std::string& path)
        : Path(path)
    {
        RemoveTree(Path);
    }
    ~SourceFolder() { RemoveTree(Path); }
    SourceFolder(const SourceFolder&) = delete;
    SourceFolder& operator=(const SourceFolder&) = delete;

    // Holds a fresh copy of an update set of the sample data.
    bool Fill(const std::string& updateSet)
    {
        return RemoveTree(Path) && CopyTree(DataFolder(updateSet), Path);
    }
    bool WriteList(const std::string& text) { return WriteFileBytes(Path + "\\disk_1.lst", text); }

    const std::string Path;
};

// An installation of every component of the sample release, as an update
// finds it.
FileMap Installed()
{
    FileMap files = ReleaseFiles(DataFolder("release"), AllComponents);
    files["TSW_FILE.CHK"] = MarkerBytes();
    return files;
}

// The same after an update from release 2's program disk 1.
FileMap Updated()
{
    FileMap files = Installed();
    for (const auto& file : FolderFiles(DataFolder("release2\\PROGRAM1"))) files[file.first] = file.second;
    return files;
}

::testing::AssertionResult FillUpdateDialog(HWND dialog, const std::string& target, const std::string& source)
{
    if (!SetControlText(dialog, UpdateTargetField, target) || !SetControlText(dialog, UpdateSourceField, source))
        return ::testing::AssertionFailure() << "cannot fill the update dialog";
    return ::testing::AssertionSuccess();
}

// Runs the update command with the entries and presses "Ok".
::testing::AssertionResult StartUpdate(Installer& installer, const std::string& target, const std::string& source)
{
    HWND dialog = nullptr;
    ::testing::AssertionResult step = installer.OpenDialog(UpdateCommand, UpdateDialogTitle, dialog);
    if (!step) return step;
    if (!(step = FillUpdateDialog(dialog, target, source))) return step;
    return installer.Press(dialog, IDOK);
}

std::vector<ProgramItemText> UpdateProgramItems()
{
    return {{"TSW.EXE", "Tessaryn 3.0"}};
}
}

// An update from a folder on the hard disk: no prompt, every listed file
// replaced by its newer version, the group sent again, the completion
// question; the installation dialog then offers the directory entered.
TEST_P(UpdateFlow, FromAFolderOnTheHardDisk)
{
    TSTESTKIT_RUN_ON_PRIVATE_DESKTOP();
    ASSERT_NO_FATAL_FAILURE(Prepare(Progman::StandIn));
    ASSERT_TRUE(WriteTree(Target(), Installed()));
    SourceFolder source(UpdateFolder);
    ASSERT_TRUE(source.Fill("update"));

    Installer installer(Build());
    ASSERT_TRUE(installer.WaitForMainWindow());
    HWND dialog = nullptr;
    ASSERT_TRUE(installer.OpenDialog(UpdateCommand, UpdateDialogTitle, dialog));
    EXPECT_EQ("C:\\TSW30", ControlText(dialog, UpdateTargetField));
    EXPECT_EQ("A", ControlText(dialog, UpdateSourceField));
    ASSERT_TRUE(FillUpdateDialog(dialog, Target(), UpdateFolder));
    ASSERT_TRUE(installer.Press(dialog, IDOK));
    ASSERT_TRUE(installer.Answer(UpdateComplete, ExitQuestion, IDNO));

    EXPECT_TRUE(SameTree(Updated(), TreeOf(Target())));
    EXPECT_EQ(GroupCommands(StoredTarget(), UpdateProgramItems()), Server->Executes());

    ASSERT_TRUE(installer.OpenDialog(LocalCommand, LocalDialogTitle, dialog));
    EXPECT_EQ(StoredTarget(), ControlText(dialog, TargetField));
    ASSERT_TRUE(installer.Press(dialog, IDCANCEL));
    ASSERT_TRUE(installer.Close());
    EXPECT_EQ(NotificationsPosted(), installer.Report().FinishedCount());
}

// The same update without a titled program: files replaced, no group.
TEST_P(UpdateChecks, WithoutATitledProgramNoGroupIsSent)
{
    TSTESTKIT_RUN_ON_PRIVATE_DESKTOP();
    ASSERT_NO_FATAL_FAILURE(Prepare(Progman::StandIn));
    ASSERT_TRUE(WriteTree(Target(), Installed()));
    SourceFolder source(UpdateFolder);
    ASSERT_TRUE(source.Fill("update-plain"));

    Installer installer(Build());
    ASSERT_TRUE(installer.WaitForMainWindow());
    ASSERT_TRUE(StartUpdate(installer, Target(), UpdateFolder));
    ASSERT_TRUE(installer.Answer(UpdateComplete, ExitQuestion, IDNO));
    ASSERT_TRUE(installer.IdleWithoutBoxes());
    EXPECT_TRUE(SameTree(Updated(), TreeOf(Target())));
    EXPECT_EQ(0, Server->Connections());
    ASSERT_TRUE(installer.Close());
}

// From the floppy drive the disk is asked for even when it is in already.
TEST_P(UpdateChecks, FromTheFloppyDriveTheDiskIsAskedForEvenWhenItIsIn)
{
    TSTESTKIT_RUN_ON_PRIVATE_DESKTOP();
    ASSERT_NO_FATAL_FAILURE(Prepare(Progman::StandIn));
    ASSERT_TRUE(WriteTree(Target(), Installed()));
    const std::string disk = *Work / "update";
    ASSERT_TRUE(CopyTree(DataFolder("update"), disk));
    ASSERT_TRUE(Floppy->Insert(disk)) << Floppy->LastError();

    Installer installer(Build());
    ASSERT_TRUE(installer.WaitForMainWindow());
    HWND dialog = nullptr;
    ASSERT_TRUE(installer.OpenDialog(UpdateCommand, UpdateDialogTitle, dialog));
    EXPECT_EQ("A", ControlText(dialog, UpdateSourceField));
    ASSERT_TRUE(SetControlText(dialog, UpdateTargetField, Target()));
    ASSERT_TRUE(installer.Press(dialog, IDOK));
    ASSERT_TRUE(installer.Answer(DiskPromptTitle, "Place Program Disk 1 in Drive A", IDOK));
    ASSERT_TRUE(installer.Answer(UpdateComplete, ExitQuestion, IDNO));
    EXPECT_TRUE(SameTree(Updated(), TreeOf(Target())));
    EXPECT_EQ(GroupCommands(StoredTarget(), UpdateProgramItems()).size(), Server->Executes().size());
    ASSERT_TRUE(installer.Close());
}

// A directory typed after a floppy drive's letter is not used: the update
// comes from the drive's root. Typed in lower case, the source is used
// upper-cased (the prompt names drive A). With Wine's Program Manager, the
// completion question stays in front of the group's window, as the
// installation's does.
TEST_P(UpdateChecks, ADirectoryOnTheFloppyDriveMeansTheDrivesRoot)
{
    TSTESTKIT_RUN_ON_PRIVATE_DESKTOP();
    ASSERT_NO_FATAL_FAILURE(Prepare(Progman::Wine));
    ASSERT_TRUE(WriteTree(Target(), Installed()));
    const std::string disk = *Work / "update";
    ASSERT_TRUE(CopyTree(DataFolder("update"), disk));
    // What the update would install if it read the directory: the older files.
    ASSERT_TRUE(CopyTree(DataFolder("set\\disk1"), disk + "\\NEWFILES"));
    ASSERT_TRUE(Floppy->Insert(disk)) << Floppy->LastError();

    Installer installer(Build());
    ASSERT_TRUE(installer.WaitForMainWindow());
    ASSERT_TRUE(StartUpdate(installer, Target(), "a:\\newfiles"));
    ASSERT_TRUE(installer.Answer(DiskPromptTitle, "Place Program Disk 1 in Drive A", IDOK));
    ASSERT_TRUE(installer.Answer(MainWindowTitle, RevisionsRefusedText, IDOK));
    Box question;
    EXPECT_TRUE(QuestionStaysInFrontOfTheGroup(installer, UpdateComplete, question));
    ASSERT_TRUE(question.Handle);
    ASSERT_TRUE(installer.Press(question.Handle, IDNO));
    CloseGroupFolderWindows(5000);
    EXPECT_TRUE(SameTree(Updated(), TreeOf(Target())));
    ASSERT_TRUE(installer.Close());
}

// A bare letter of a drive that is not removable names the drive's root,
// not a folder of that name in the current directory.
TEST_P(UpdateChecks, ABareLetterOfAFixedDriveMeansTheDrivesRoot)
{
    TSTESTKIT_RUN_ON_PRIVATE_DESKTOP();
    ASSERT_NO_FATAL_FAILURE(Prepare(Progman::StandIn));
    ASSERT_TRUE(WriteTree(Target(), Installed()));
    const std::string disk = *Work / "update";
    ASSERT_TRUE(CopyTree(DataFolder("update"), disk));
    MappedDrive drive("UVWXY", disk);
    ASSERT_NE(0, drive.Drive()) << "drives U: to Y: are all taken in this prefix";
    const std::string letter(1, drive.Drive());
    ASSERT_EQ(static_cast<UINT>(DRIVE_FIXED), ::GetDriveTypeA((letter + ":\\").c_str()));
    // The installer's current directory holds a folder of that name with the
    // older files.
    const std::string current = *Work / "current";
    ASSERT_TRUE(::CreateDirectoryA(current.c_str(), nullptr));
    ASSERT_TRUE(CopyTree(DataFolder("set\\disk1"), current + "\\" + letter));

    Installer installer(Build(), current);
    ASSERT_TRUE(installer.WaitForMainWindow());
    ASSERT_TRUE(StartUpdate(installer, Target(), letter));
    ASSERT_TRUE(installer.Answer(UpdateComplete, ExitQuestion, IDNO));
    EXPECT_TRUE(SameTree(Updated(), TreeOf(Target())));
    ASSERT_TRUE(installer.Close());
}

// Every check that ends an update before anything is written, one after the
// other in one installer session: the report, and the installation as it was.
TEST_P(UpdateChecks, ChecksThatEndTheUpdateWriteNothing)
{
    TSTESTKIT_RUN_ON_PRIVATE_DESKTOP();
    ASSERT_NO_FATAL_FAILURE(Prepare(Progman::StandIn));
    ASSERT_TRUE(WriteTree(Target(), Installed()));
    // The update disk in drive A: a look at it would need its prompt first.
    const std::string disk = *Work / "update";
    ASSERT_TRUE(CopyTree(DataFolder("update"), disk));
    ASSERT_TRUE(Floppy->Insert(disk)) << Floppy->LastError();
    SourceFolder source(UpdateFolder);

    Installer installer(Build());
    ASSERT_TRUE(installer.WaitForMainWindow());
    {
        SCOPED_TRACE("no TSW.EXE in the target");
        FileMap withoutProgram = Installed();
        withoutProgram.erase("TSW.EXE");
        const std::string other = *Work / "NoProgram";
        ASSERT_TRUE(WriteTree(other, withoutProgram));
        ASSERT_TRUE(StartUpdate(installer, other, "A"));
        ASSERT_TRUE(installer.Answer("Update Error", "File Not Found TSW.EXE", IDOK));
        EXPECT_TRUE(SameTree(withoutProgram, TreeOf(other)));
    }
    {
        SCOPED_TRACE("Cancel at the disk prompt");
        ASSERT_TRUE(StartUpdate(installer, Target(), "A"));
        ASSERT_TRUE(installer.Answer(DiskPromptTitle, "Place Program Disk 1 in Drive A", IDCANCEL));
        EXPECT_TRUE(SameTree(Installed(), TreeOf(Target())));
    }
    // The update folder filled afresh for each row, then changed: a file
    // deleted, one copied to a new name, the list written anew.
    const std::string longName = "TESSARYN_REVISION_NOTES_1.TXT";  // 29 characters
    const std::string program = "TSW.EXE Tessaryn 3.0\r\n";
    const struct {
        const char* Case;
        const char* Deleted;  // a source file deleted, or nullptr
        std::string CopiedTo; // TSW.TX_ copied to this name, or empty
        std::string List;     // the list written, or empty for the set's own
        const char* Title;
        std::string Text;
        int Button;
    } rows[] = {
        {"the second entry missing", "TSW.HL_", "", "", "Update Error", "File Not Found TSW.HL_", IDOK},
        {"a count of 3 with two entry lines", nullptr, "", "3\r\n" + program + "TSW.HLP\r\n", "Update Error",
         "File Read Error disk_1.lst", IDOK},
        {"an empty first line", nullptr, "", "\r\n" + program + "TSW.HLP\r\n", "Installation Error",
         "File Read Error disk_1.lst", IDOK},
        // The expander takes a plain entry's whole line as the name, so the
        // check looks for the same mangled compressed name (on a disk with
        // no CHECKSUM.LST, which would not name it).
        {"a plain entry with text after its name", "CHECKSUM.LST", "", "2\r\n" + program + "TSW.HLP old help\r\n",
         "Update Error", "File Not Found TSW.HLP old hel_", IDOK},
        {"an entry line of spaces", nullptr, "", "2\r\n" + program + "   \r\nTSW.HLP\r\n", "Update Error",
         "File Read Error disk_1.lst", IDOK},
        {"an installed name longer than 27 characters", nullptr, longName.substr(0, longName.size() - 1) + "_",
         "2\r\n" + program + longName + "\r\n", "Update Error", "File Read Error disk_1.lst", IDOK},
        {"a count of 0", nullptr, "", "0\r\n" + program, UpdateComplete, ExitQuestion, IDNO},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.Case);
        ASSERT_TRUE(source.Fill("update"));
        if (row.Deleted) {
            ASSERT_TRUE(::DeleteFileA((source.Path + "\\" + row.Deleted).c_str()));
        }
        if (!row.CopiedTo.empty()) {
            ASSERT_TRUE(::CopyFileA((source.Path + "\\TSW.TX_").c_str(), (source.Path + "\\" + row.CopiedTo).c_str(),
                                    FALSE));
        }
        if (!row.List.empty()) {
            ASSERT_TRUE(source.WriteList(row.List));
        }
        ASSERT_TRUE(StartUpdate(installer, Target(), UpdateFolder));
        ASSERT_TRUE(installer.Answer(row.Title, row.Text, row.Button));
        EXPECT_TRUE(SameTree(Installed(), TreeOf(Target())));
    }
    ASSERT_TRUE(installer.IdleWithoutBoxes());
    EXPECT_EQ(0, Server->Connections());
    ASSERT_TRUE(installer.Close());
}

// The directory is checked first: with both fields empty only its message
// shows. Each entry is stored before it is checked, so a directory accepted
// before the source was refused is what the installation dialog offers.
TEST_P(UpdateChecks, TheDialogChecksTheDirectoryFirst)
{
    TSTESTKIT_RUN_ON_PRIVATE_DESKTOP();
    ASSERT_NO_FATAL_FAILURE(Prepare(Progman::StandIn));
    Installer installer(Build());
    ASSERT_TRUE(installer.WaitForMainWindow());
    HWND dialog = nullptr;
    ASSERT_TRUE(installer.OpenDialog(UpdateCommand, UpdateDialogTitle, dialog));
    ASSERT_TRUE(FillUpdateDialog(dialog, "", ""));
    PressButton(dialog, IDOK);
    ASSERT_TRUE(installer.Answer("Update Error", "Install to Directory Not Valid", IDOK));
    ASSERT_TRUE(::IsWindow(dialog)) << "the dialog stays open after a refused entry";
    ASSERT_TRUE(installer.Press(dialog, IDCANCEL));
    ASSERT_TRUE(installer.IdleWithoutBoxes());

    ASSERT_TRUE(installer.OpenDialog(UpdateCommand, UpdateDialogTitle, dialog));
    ASSERT_TRUE(FillUpdateDialog(dialog, "d:\\apps\\tsw", "  "));
    PressButton(dialog, IDOK);
    ASSERT_TRUE(installer.Answer("Update Error", "Install from Drive Not Valid", IDOK));
    ASSERT_TRUE(::IsWindow(dialog));
    ASSERT_TRUE(installer.Press(dialog, IDCANCEL));

    ASSERT_TRUE(installer.OpenDialog(LocalCommand, LocalDialogTitle, dialog));
    EXPECT_EQ("D:\\APPS\\TSW", ControlText(dialog, TargetField));
    ASSERT_TRUE(installer.Press(dialog, IDCANCEL));
    ASSERT_TRUE(installer.Close());
}

// An update point as a drive's root: SETUP.EXE /Q updates the installation
// its INSTALL.OPT names with no window that waits. No installation there:
// nothing written, code 101; a report: its number, the installation as it was.
TEST_P(UpdateChecks, AnUnattendedUpdateFromAnUpdatePoint)
{
    TSTESTKIT_RUN_ON_PRIVATE_DESKTOP();
    ASSERT_NO_FATAL_FAILURE(Prepare(Progman::StandIn));
    ReportedWindows system("SETUP.EXE", Build().System);
    const std::string point = *Work / "UPOINT", help = point + "\\TSW.HL_";
    ASSERT_TRUE(CopyTree(DataFolder("update-setup"), point));
    ASSERT_TRUE(WriteFileBytes(point + "\\INSTALL.OPT", OptionsFileBytes(StoredTarget(), "10000")));
    MappedDrive drive("TUVWXY", point);
    ASSERT_NE(0, drive.Drive()) << "drives T: to Y: are all taken in this prefix";
    auto update = [&drive] {
        LauncherSetup setup;
        setup.Installer = std::string(1, drive.Drive()) + ":\\SETUP.EXE";
        setup.Raw = true;
        setup.RawArguments = {"/Q"};
        setup.TimeoutMs = 180000;
        LauncherRun run(setup);
        return run.WaitForEnd(180000) ? run.Report().InstallerExitCode : ~0ul;
    };
    char temporary[MAX_PATH] = {};
    ASSERT_NE(0u, ::GetTempPathA(sizeof temporary, temporary));

    EXPECT_EQ(101u, update());
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, ::GetFileAttributesA(Target().c_str()));
    const std::string refused = ReadBytes(Join(temporary, "TSW_INST.LOG"));
    EXPECT_EQ("; end: message 101\r\n", refused.substr(refused.rfind("; ")));
    ASSERT_TRUE(WriteTree(Target(), Installed()));
    ASSERT_TRUE(::MoveFileA(help.c_str(), (help + "X").c_str()));
    EXPECT_EQ(13u, update()) << "File Not Found TSW.HL_";
    EXPECT_TRUE(SameTree(Installed(), TreeOf(Target())));
    ASSERT_TRUE(::MoveFileA((help + "X").c_str(), help.c_str()));
    EXPECT_EQ(0u, update());
    EXPECT_TRUE(SameTree(Updated(), TreeOf(Target())));
    EXPECT_EQ((std::vector<std::string>{GroupCommands(StoredTarget(), UpdateProgramItems())}), Server->Executes());
    const std::string log = ReadBytes(Join(Target(), "TSW_INST.LOG"));
    EXPECT_EQ("; end: complete\r\n", log.substr(log.rfind("; ")));
}

INSTANTIATE_TEST_SUITE_P(Builds, UpdateFlow, ::testing::Values(Build95, BuildNt), BuildName);
INSTANTIATE_TEST_SUITE_P(Builds, UpdateChecks, ::testing::Values(Build95), BuildName);
