// PromptForDisk with drive A: as an emulated floppy: disks are swapped while
// the "New Disk Required" box is up.
#include "tests/window/InstallerFixture.h"

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
