#include "launcher/plain/LaunchPlan.h"
#include "shell/plain/CommandLine.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

// GetVersion's values: major version in the low byte, minor in the next, the
// top bit set outside Windows NT.
TEST(ChooseInstallerBuild, NtGetsTheNtBuildWindows95ItsOwnAndWin32sNone)
{
    const struct {
        const char* System;
        std::uint32_t Version;
        InstallerBuildChoice Choice;
    } rows[] = {
        {"NT 3.51", 0x04213303u, InstallerBuildChoice::WindowsNt},
        {"NT 4.0", 0x05650004u, InstallerBuildChoice::WindowsNt},
        {"Windows 2000", 0x08930005u, InstallerBuildChoice::WindowsNt},
        {"Windows 95", 0xC3B60004u, InstallerBuildChoice::Windows95},
        {"Windows 98", 0xC0000A04u, InstallerBuildChoice::Windows95},
        {"Win32s on Windows 3.1", 0x80000A03u, InstallerBuildChoice::Unsupported},
    };
    for (const auto& row : rows) EXPECT_EQ(row.Choice, ChooseInstallerBuild(row.Version)) << row.System;
    EXPECT_STREQ("TSINST95.EXE", InstallerFileName(InstallerBuildChoice::Windows95));
    EXPECT_STREQ("TSINSTNT.EXE", InstallerFileName(InstallerBuildChoice::WindowsNt));
    EXPECT_EQ(nullptr, InstallerFileName(InstallerBuildChoice::Unsupported));
}

TEST(SourceFolderOf, KeepsTheFolderWithItsBackslashAndRefusesWhatDoesNotFit)
{
    char folder[16];
    ASSERT_TRUE(SourceFolderOf("A:\\SETUP.EXE", folder, sizeof folder));
    EXPECT_STREQ("A:\\", folder);
    ASSERT_TRUE(SourceFolderOf("C:\\DISKS\\SETUP.EXE", folder, sizeof folder));
    EXPECT_STREQ("C:\\DISKS\\", folder);
    EXPECT_FALSE(SourceFolderOf("SETUP.EXE", folder, sizeof folder));
    EXPECT_FALSE(SourceFolderOf("C:\\A FOLDER TOO LONG\\SETUP.EXE", folder, sizeof folder));
}

// Each line as the installer's C start-up splits it gives back the source folder.
TEST(BuildInstallerCommandLine, QuotesTheInstallerAndASourceWithABlank)
{
    const struct {
        const char* Source;
        std::uint32_t Window;
        const char* Line;
    } rows[] = {
        {"A:\\", 0x1A2B, "\"C:\\TEMP\\TSW00001.TMP\\TSINST95.EXE\" A:\\ 1A2B"},
        {"A:\\", 0xFFFF0000u, "\"C:\\TEMP\\TSW00001.TMP\\TSINST95.EXE\" A:\\ FFFF0000"},
        {"A:\\", 0, "\"C:\\TEMP\\TSW00001.TMP\\TSINST95.EXE\" A:\\ 0"},
        {"C:\\MY DISKS\\", 0x20, "\"C:\\TEMP\\TSW00001.TMP\\TSINST95.EXE\" \"C:\\MY DISKS\\\\\" 20"},
    };
    for (const auto& row : rows) {
        char line[96];
        ASSERT_TRUE(BuildInstallerCommandLine("C:\\TEMP\\TSW00001.TMP\\TSINST95.EXE", row.Source, row.Window, line,
                                              sizeof line));
        EXPECT_STREQ(row.Line, line);
        std::string text(line);
        std::vector<char*> argv(CommandLineArgumentSlots(text.size()));
        std::vector<char> split(text.size() + 1);
        ASSERT_EQ(3, SplitCommandLine(line, argv.data(), split.data())) << line;
        EXPECT_STREQ("C:\\TEMP\\TSW00001.TMP\\TSINST95.EXE", argv[0]);
        EXPECT_STREQ(row.Source, argv[1]);
    }
    char shortLine[40];
    EXPECT_FALSE(BuildInstallerCommandLine("C:\\TEMP\\TSW00001.TMP\\TSINST95.EXE", "A:\\", 0x1A2B, shortLine,
                                           sizeof shortLine));
    EXPECT_LT(std::string(shortLine).size(), sizeof shortLine);
}

// Where SETUP.EXE may put its copy: never on the source's drive or share.
TEST(DriveRootOf, DrivesAndSharesAreComparedByTheirRoots)
{
    const struct {
        const char* Path;
        const char* Root;  // null: none
        const char* Other;
        bool Same;
    } rows[] = {
        {"A:\\", "A:\\", "a:\\SETUP\\", true},
        {"C:\\WINDOWS\\TEMP\\", "C:\\", "A:\\", false},
        {"\\\\SERVER\\DISKS\\DISK1\\", "\\\\SERVER\\DISKS\\", "\\\\server\\disks\\TEMP", true},
        {"\\\\SERVER\\DISKS", "\\\\SERVER\\DISKS\\", "\\\\SERVER\\DISKS2\\", false},
        {"\\\\SERVER", nullptr, "\\\\SERVER", false},
        {"\\\\\\DISKS\\", nullptr, "\\\\\\DISKS\\", false},
        {"C:TEMP", nullptr, "C:TEMP", false},
        {"\\TEMP\\", nullptr, "\\TEMP\\", false},
    };
    for (const auto& row : rows) {
        char root[16] = "untouched";
        EXPECT_EQ(row.Root != nullptr, DriveRootOf(row.Path, root, sizeof root)) << row.Path;
        if (row.Root) {
            EXPECT_STREQ(row.Root, root) << row.Path;
        }
        EXPECT_EQ(row.Same, OnSameDrive(row.Path, row.Other)) << row.Path << " and " << row.Other;
    }
    char small[4];
    EXPECT_FALSE(DriveRootOf("\\\\SERVER\\DISKS\\", small, sizeof small));
    EXPECT_TRUE(IsDriveRoot("A:\\"));
    EXPECT_FALSE(IsDriveRoot("C:\\DISKS\\DISK1\\"));
    EXPECT_FALSE(IsDriveRoot("\\\\SERVER\\DISKS\\"));
}

TEST(HelpFileFitsViewer, TheHelpPathTakesAtMost127Characters)
{
    const std::string folder = "C:\\" + std::string(111, 'T');  // with \TSW_INST.HLP: 127
    EXPECT_TRUE(HelpFileFitsViewer(folder.c_str()));
    EXPECT_FALSE(HelpFileFitsViewer((folder + "X").c_str()));
}

// The platform's reasons carry inserts, which FormatMessage leaves as they are
// when told to ignore them.
TEST(FillReasonInserts, TheFirstInsertNamesTheFileAndTheOthersGo)
{
    const struct {
        const char* Reason;
        const char* Text;
    } rows[] = {
        {"Bad EXE format for %1.", "Bad EXE format for C:\\T\\TSINST95.EXE."},
        {"%1!s! is not a valid Win32 application.", "C:\\T\\TSINST95.EXE is not a valid Win32 application."},
        {"%2 needs %3 of %1.", " needs  of C:\\T\\TSINST95.EXE."},
        {"%10 and %1", " and C:\\T\\TSINST95.EXE"},
        {"100% done, %0 kept %", "100% done, %0 kept %"},
    };
    for (const auto& row : rows) {
        char text[64];
        FillReasonInserts(row.Reason, "C:\\T\\TSINST95.EXE", text, sizeof text);
        EXPECT_STREQ(row.Text, text) << row.Reason;
    }
    char cut[12];
    FillReasonInserts("Bad EXE format for %1.", "C:\\T\\TSINST95.EXE", cut, sizeof cut);
    EXPECT_STREQ("Bad EXE for", cut);
}
