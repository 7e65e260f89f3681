// PromptForDisk with drive A: as an emulated floppy: disks are swapped while
// the "New Disk Required" box is up.
#include "tests/window/InstallerFixture.h"

#include "framework/CommandIds.h"
#include "shell/plain/Settings.h"

namespace {

class DiskPromptTest : public InstallerTest {
protected:
    // A disk folder holding the given files (a list file only needs to exist).
    std::string Disk(const std::string& name, const Lines& files)
    {
        std::string folder = Folder(name);
        for (const std::string& file : files) {
            std::string path = Join(folder, file);
            MakeDirectories(path.substr(0, path.rfind('\\')));
            EXPECT_TRUE(WriteFileBytes(path, "0\r\n")) << path;
        }
        return folder;
    }

    std::function<void(HWND)> Insert(const std::string& disk)
    {
        return [this, disk](HWND) { Floppy.Insert(disk); };
    }
};

}

TEST_F(DiskPromptTest, AsksAgainUntilTheDisksListIsInTheRoot)
{
    std::string disk1 = Disk("disk1", {"disk_1.lst"});
    std::string elsewhere = Disk("elsewhere", {"LOOKUP\\disk_2.lst", "disk_2e.lst"});
    std::string disk2 = Disk("disk2", {"disk_2.lst"});
    Floppy.Insert(disk1);
    Window->CurrentDisk = 1;

    HWND owner = nullptr;
    bool okAndCancel = false;
    Boxes.Expect("New Disk Required", IDOK, [&](HWND box) {
        owner = ::GetWindow(box, GW_OWNER);
        okAndCancel = ::GetDlgItem(box, IDOK) && ::GetDlgItem(box, IDCANCEL);
    });
    Boxes.Expect("New Disk Required", IDOK, Insert(elsewhere));
    Boxes.Expect("New Disk Required", IDOK);  // still the wrong disk
    Boxes.Expect("New Disk Required", IDOK, Insert(disk2));
    EXPECT_TRUE(Window->PromptForDisk(2));
    EXPECT_EQ(Lines(4, PromptDisk2), Transcript());
    EXPECT_EQ(2, Window->CurrentDisk);
    EXPECT_EQ(Window->GetHandle(), owner) << "the box is owned by the main window";
    EXPECT_TRUE(okAndCancel) << "the box offers OK and Cancel";
}

TEST_F(DiskPromptTest, AsksOnceEvenWhenTheDiskIsAlreadyIn)
{
    Floppy.Insert(Disk("disk2", {"disk_2.lst"}));
    Window->CurrentDisk = 1;
    Boxes.Expect("New Disk Required", IDOK);
    EXPECT_TRUE(Window->PromptForDisk(2));
    EXPECT_EQ(Lines({PromptDisk2}), Transcript());
    EXPECT_EQ(2, Window->CurrentDisk);
}

TEST_F(DiskPromptTest, CancelGivesUpAndKeepsCurrentDisk)
{
    std::string disk2 = Disk("disk2", {"disk_2.lst"});
    Window->CurrentDisk = 1;
    Boxes.Expect("New Disk Required", IDOK);  // empty drive: asked again
    Boxes.Expect("New Disk Required", IDCANCEL);
    EXPECT_FALSE(Window->PromptForDisk(2));
    EXPECT_EQ(Lines(2, PromptDisk2), Transcript());
    EXPECT_EQ(1, Window->CurrentDisk);

    // Cancel counts even with the right disk in the drive.
    Boxes.Clear();
    Floppy.Insert(disk2);
    Boxes.Expect("New Disk Required", IDCANCEL);
    EXPECT_FALSE(Window->PromptForDisk(2));
    EXPECT_EQ(Lines({PromptDisk2}), Transcript());
    EXPECT_EQ(1, Window->CurrentDisk);
}

TEST_F(DiskPromptTest, DriveHoldingBothListsSatisfiesBothPromptsAtFirstOk)
{
    Floppy.Insert(Disk("both", {"disk_1.lst", "disk_2.lst"}));
    Boxes.Expect("New Disk Required", IDOK);
    EXPECT_TRUE(Window->PromptForDisk(1));
    EXPECT_EQ(1, Window->CurrentDisk);
    Boxes.Expect("New Disk Required", IDOK);
    EXPECT_TRUE(Window->PromptForDisk(2));
    EXPECT_EQ(2, Window->CurrentDisk);
    EXPECT_EQ(Lines({PromptDisk1, PromptDisk2}), Transcript());
}

TEST_F(DiskPromptTest, PromptNamesTheSourceDrive)
{
    SourceDrive[0] = testenv::ReadOnlyDrive;
    Boxes.Expect("New Disk Required", IDCANCEL);
    EXPECT_FALSE(Window->PromptForDisk(1));
    EXPECT_EQ(Lines({"New Disk Required|Place Program Disk 1 in Drive R"}), Transcript());
    EXPECT_EQ(0, Window->CurrentDisk);
}

// Drive letters carry no case: a launcher's "a:\\" and a prompt for drive A
// are the same drive, so the disk confirmed there is the source drive's.
TEST_F(DiskPromptTest, ADiskConfirmedInTheSourceDriveCountsWhateverTheLettersCase)
{
    Floppy.Insert(Disk("disk1", {"disk_1.lst"}));
    SourceDrive[0] = 'a';
    Boxes.Expect("New Disk Required", IDOK);
    EXPECT_TRUE(Window->PromptForDisk(1, 'A'));
    EXPECT_EQ(1, Window->CurrentDisk);
}

// An update from drive A, started by the menu command: an installation in a
// folder of its own, the update disk (two files) in the drive from the start
// (an empty drive may not even read as a floppy drive here); the update asks
// for it all the same, and `atPrompt` runs while that prompt is up.
class UpdateFromDriveA : public DiskPromptTest {
protected:
    void Run(const std::function<void(HWND)>& atPrompt)
    {
        Installed = Folder("I");
        ASSERT_LE(Installed.size(), 79u) << "the update dialog takes 79 characters";
        ASSERT_TRUE(WriteFileBytes(Join(Installed, "TSW.EXE"), "earlier"));
        UpdateDisk = Disk("update", {});
        ASSERT_TRUE(WriteFileBytes(Join(UpdateDisk, "disk_1.lst"), ListText({"2", "A.TXT", "B.DAT"})));
        ASSERT_TRUE(WriteCompressed(UpdateDisk, "A.TXT", "newer A"));
        ASSERT_TRUE(WriteCompressed(UpdateDisk, "B.DAT", "newer B"));
        CopyBounded(Settings.TargetDirectory, kPathSize, Installed.c_str());
        Floppy.Insert(UpdateDisk);

        Boxes.Expect("Maintenance Update", IDOK);
        Boxes.Expect("New Disk Required", IDOK, atPrompt);
        Boxes.Expect("Maintenance Update Complete", IDNO);
        ::SendMessageA(Window->GetHandle(), WM_COMMAND, CmMaintenanceUpdate, 0);
        EXPECT_EQ(Lines({"Maintenance Update|Update Tessaryn Program", PromptDisk1,
                         "Maintenance Update Complete|Exit Installation Program"}),
                  Transcript());
        EXPECT_EQ("newer A", ReadBytes(Join(Installed, "A.TXT")));
        EXPECT_EQ("newer B", ReadBytes(Join(Installed, "B.DAT")));
        Boxes.Clear();
    }

    std::string Installed;
    std::string UpdateDisk;
};

// The prompt's box dispatches messages: run commands, the exit command and a
// close posted to the main window meanwhile must neither start a second run
// nor destroy the window under the running one.
TEST_F(UpdateFromDriveA, PostsDuringARunChangeNothing)
{
    const HWND main = Window->GetHandle();
    Run([&](HWND) {
        for (WPARAM command : {WPARAM(CmInstallLocal), WPARAM(CmInstallNetwork), WPARAM(CmMaintenanceUpdate),
                               WPARAM(CM_EXIT)})
            ::PostMessageA(main, WM_COMMAND, command, 0);
        ::PostMessageA(main, WM_CLOSE, 0, 0);
    });
    EXPECT_TRUE(::IsWindow(main)) << "the main window was destroyed during the run";
    EXPECT_FALSE(Window->IsRunInProgress());
    EXPECT_EQ(Lines({"A.TXT", "B.DAT", "TSW.EXE", "TSW_INST.LOG"}), Names(Installed));
    MSG left;
    EXPECT_FALSE(::PeekMessageA(&left, main, WM_COMMAND, WM_COMMAND, PM_NOREMOVE)) << "a command was left for later";
    EXPECT_FALSE(::PeekMessageA(&left, main, WM_CLOSE, WM_CLOSE, PM_NOREMOVE)) << "the close was left for later";
}

// The end of the session asks as a close does: refused while the run lasts,
// agreed afterwards, with the options file written to the source drive.
TEST_F(UpdateFromDriveA, TheEndOfTheSessionWaitsForTheRun)
{
    const HWND main = Window->GetHandle();
    LRESULT duringRun = TRUE;
    bool optionsDuringRun = true;
    Run([&](HWND) {
        duringRun = ::SendMessageA(main, WM_QUERYENDSESSION, 0, 0);
        optionsDuringRun = FileExists(Join(UpdateDisk, "INSTALL.OPT"));
    });
    EXPECT_EQ(FALSE, duringRun);
    EXPECT_FALSE(optionsDuringRun) << "the options file was written during the run";
    EXPECT_EQ(TRUE, ::SendMessageA(main, WM_QUERYENDSESSION, 0, 0));
    EXPECT_TRUE(FileExists(Join(UpdateDisk, "INSTALL.OPT")));
}

// The update disk was confirmed as "disk 1" but is no program disk: the next
// installation asks for program disk 1.
TEST_F(UpdateFromDriveA, AnInstallationThenAsksForDisk1)
{
    Run([](HWND) {});
    if (HasFatalFailure()) return;
    Boxes.Expect("New Disk Required", IDCANCEL);
    EXPECT_FALSE(Window->InstallComponents());
    EXPECT_EQ(Lines({PromptDisk1}), Transcript());
}
