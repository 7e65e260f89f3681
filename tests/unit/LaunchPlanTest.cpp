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

TEST(HelpFileFitsViewer, TheHelpPathTakesAtMost127Characters)
{
    const std::string folder = "C:\\" + std::string(111, 'T');  // with \TSW_INST.HLP: 127
    EXPECT_TRUE(HelpFileFitsViewer(folder.c_str()));
    EXPECT_FALSE(HelpFileFitsViewer((folder + "X").c_str()));
}
