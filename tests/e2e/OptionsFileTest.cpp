// INSTALL.OPT on the source disk: read when the main window is created,
// written when it closes.
#include "tests/e2e/FlowFixture.h"
#include "tests/e2e/Installers.h"

#include "tests/kit/BoxWatcher.h"
#include "tests/kit/FileBytes.h"
#include "tests/kit/FloppyDrive.h"
#include "tests/kit/FloppyImage.h"
#include "tests/kit/GuiDriver.h"
#include "tests/kit/WindowFinder.h"

#include <cstring>

namespace {
using OptionsFile = InstallerTest;

constexpr std::size_t FileSize = 631;
constexpr std::size_t TargetAt = 89;
constexpr std::size_t TargetField = 260;
constexpr std::size_t FlagsAt = 626;

// The file as the layout has it: tag, reserved, target directory, reserved,
// five flags. `filler` goes into the reserved fields and after the target's
// terminator.
std::string OptionsBytes(const std::string& target, const std::string& flags, char filler)
{
    std::string bytes(FileSize, filler);
    std::memcpy(&bytes[0], "TS-3.0\0", 7);
    std::memcpy(&bytes[TargetAt], target.c_str(), target.size() + 1);
    std::memcpy(&bytes[FlagsAt], flags.data(), 5);
    return bytes;
}

std::string TargetIn(const std::string& bytes)
{
    return std::string(bytes.c_str() + TargetAt, strnlen(bytes.c_str() + TargetAt, TargetField));
}

// The local installation dialog's controls.
constexpr int LocalInstallCommand = 1;
constexpr const char* LocalInstallTitle = "Tessaryn 3.0 Local Drive Installation";
constexpr int SourceDriveField = 110;
constexpr int TargetDirectoryField = 111;
constexpr int FirstComponentBox = 105;  // five check boxes, 105 to 109

struct DialogEntries {
    std::string Source;
    std::string Target;
    std::string Flags;  // five bytes, 0 or 1
};

DialogEntries ReadEntries(HWND dialog)
{
    DialogEntries entries{ControlText(dialog, SourceDriveField), ControlText(dialog, TargetDirectoryField), ""};
    for (int i = 0; i < 5; ++i) entries.Flags += IsChecked(dialog, FirstComponentBox + i) ? '\1' : '\0';
    return entries;
}

// The local installation dialog, opened from the main window's menu.
::testing::AssertionResult OpenLocalDialog(InstallerSession& session, HWND& dialog)
{
    PostCommand(session.MainWindow(), LocalInstallCommand);
    return WaitForWindow(BoxTitled(LocalInstallTitle, session.ProcessId()), dialog);
}

// The reserved fields: 7..88 and 349..625.
bool ReservedAreZero(const std::string& bytes)
{
    for (std::size_t i = 7; i < FlagsAt; ++i) {
        if (i == TargetAt) i += TargetField;
        if (bytes[i] != '\0') return false;
    }
    return true;
}
}

// Disk 1 as the release ships it, a floppy image mounted read-only, as the
// installer's source: at close the file cannot be created on the medium, and
// the window closes all the same.
TEST_P(OptionsFile, OnTheReadOnlyDisk1ImageNoneIsWrittenAndTheWindowStillCloses)
{
    const std::string why = FloppyImage::Unavailable();
    if (!why.empty()) GTEST_SKIP() << "floppy images cannot be mounted: " << why;
    FloppyImage disk1(flow::DataFolder("images\\disk1.img"));
    ASSERT_TRUE(disk1.Mounted()) << disk1.LastError();
    ASSERT_TRUE(Floppy.Insert(disk1.Folder())) << Floppy.LastError();

    InstallerSession session(Build().Path(), "A:\\");
    ASSERT_TRUE(session.WaitForMainWindow());
    ASSERT_TRUE(session.CloseByCommand());
    EXPECT_FALSE(FileExists(disk1.Folder() + "\\INSTALL.OPT"));
    EXPECT_EQ(0u, session.Report().InstallerExitCode);
    EXPECT_EQ(NotificationsPosted(), session.Report().FinishedCount());
}

// The file goes to whatever disk is in the drive when the window closes.
TEST_P(OptionsFile, IsWrittenToTheDiskInTheDriveAtClose)
{
    ASSERT_TRUE(WriteFileBytes(Disk / "INSTALL.OPT", OptionsBytes("D:\\OLD", std::string("\1\0\1\0\1", 5), '\0')));
    TempFolder otherDisk("e2e-disk2");

    InstallerSession session(Build().Path(), "A:\\");
    ASSERT_TRUE(session.WaitForMainWindow());
    ASSERT_TRUE(Floppy.Insert(otherDisk.Path())) << Floppy.LastError();
    ASSERT_TRUE(session.CloseByCommand());

    std::string bytes;
    ASSERT_TRUE(ReadFileBytes(otherDisk / "INSTALL.OPT", bytes)) << "nothing written to the disk in the drive";
    EXPECT_EQ("D:\\OLD", TargetIn(bytes));
    EXPECT_EQ(std::string("\1\0\1\0\1", 5), bytes.substr(FlagsAt));
}

TEST_P(OptionsFile, WithNoDiskInTheDriveAtCloseNothingIsWrittenAndTheWindowStillCloses)
{
    InstallerSession session(Build().Path(), "A:\\");
    ASSERT_TRUE(session.WaitForMainWindow());
    ASSERT_TRUE(Floppy.Remove()) << Floppy.LastError();
    ASSERT_TRUE(session.CloseByCommand());
    EXPECT_FALSE(FileExists(Disk / "INSTALL.OPT"));
    EXPECT_EQ(0u, session.Report().InstallerExitCode);
    EXPECT_EQ(NotificationsPosted(), session.Report().FinishedCount());
}

// On a fresh disk the installation dialog offers the defaults, nothing is
// written before the window closes, and the defaults are written then.
TEST_P(OptionsFile, AFreshDiskIsOfferedTheDefaultsAndGetsThemWhenTheWindowCloses)
{
    std::string options = Disk / "INSTALL.OPT";
    InstallerSession session(Build().Path(), "A:\\");
    ASSERT_TRUE(session.WaitForMainWindow());
    HWND dialog;
    ASSERT_TRUE(OpenLocalDialog(session, dialog));
    DialogEntries offered = ReadEntries(dialog);
    EXPECT_EQ("C:\\TSW30", offered.Target);
    EXPECT_EQ(std::string(5, '\1'), offered.Flags);
    PressButton(dialog, IDCANCEL);
    ASSERT_TRUE(WaitForWindowGone(dialog));
    EXPECT_FALSE(FileExists(options)) << "nothing is written before the window closes";
    ASSERT_TRUE(session.CloseByCommand());

    std::string bytes;
    ASSERT_TRUE(ReadFileBytes(options, bytes));
    ASSERT_EQ(FileSize, bytes.size());
    EXPECT_EQ(0, std::memcmp(bytes.data(), "TS-3.0\0", 7));
    EXPECT_EQ("C:\\TSW30", TargetIn(bytes));
    EXPECT_EQ(std::string(5, '\1'), bytes.substr(FlagsAt));
    EXPECT_TRUE(ReservedAreZero(bytes));
    EXPECT_EQ(NotificationsPosted(), session.Report().FinishedCount());
}

// The installation dialog offers what the file holds; entries changed and
// then cancelled leave it as it was, and it is written back at close.
TEST_P(OptionsFile, IsReadAtStartOfferedByTheDialogAndWrittenBackAtClose)
{
    std::string options = Disk / "INSTALL.OPT";
    // Reserved fields full of 'R': the installer writes zeros there, which
    // shows that the file was really written again.
    ASSERT_TRUE(WriteFileBytes(options, OptionsBytes("D:\\OLD", std::string("\1\0\1\0\1", 5), 'R')));

    InstallerSession session(Build().Path(), "A:\\");
    ASSERT_TRUE(session.WaitForMainWindow());
    HWND dialog;
    ASSERT_TRUE(OpenLocalDialog(session, dialog));
    DialogEntries offered = ReadEntries(dialog);
    EXPECT_EQ("A", offered.Source);
    EXPECT_EQ("D:\\OLD", offered.Target);
    EXPECT_EQ(std::string("\1\0\1\0\1", 5), offered.Flags);

    ASSERT_TRUE(SetControlText(dialog, TargetDirectoryField, "C:\\NEW"));
    ASSERT_TRUE(SetCheck(dialog, FirstComponentBox + 1, true));
    ASSERT_TRUE(SetCheck(dialog, FirstComponentBox, false));
    DialogEntries changed = ReadEntries(dialog);
    EXPECT_EQ("C:\\NEW", changed.Target);
    EXPECT_EQ(std::string("\0\1\1\0\1", 5), changed.Flags);
    PressButton(dialog, IDCANCEL);
    ASSERT_TRUE(WaitForWindowGone(dialog));
    ASSERT_TRUE(session.CloseByCommand());

    std::string bytes;
    ASSERT_TRUE(ReadFileBytes(options, bytes));
    ASSERT_EQ(FileSize, bytes.size());
    EXPECT_EQ(0, std::memcmp(bytes.data(), "TS-3.0\0", 7));
    EXPECT_EQ("D:\\OLD", TargetIn(bytes));
    EXPECT_EQ(std::string("\1\0\1\0\1", 5), bytes.substr(FlagsAt));
    EXPECT_TRUE(ReservedAreZero(bytes));
}

INSTANTIATE_TEST_SUITE_P(Builds, OptionsFile, ::testing::Values(Build95, BuildNt), BuildName);
