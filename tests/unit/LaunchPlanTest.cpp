#include "engine/plain/RemovalRegistration.h"
#include "launcher/plain/CopyPlace.h"
#include "launcher/plain/LaunchPlan.h"
#include "launcher/plain/SetupSwitches.h"
#include "shell/plain/CommandLine.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

// GetVersion's values: major version in the low byte, minor in the next, the
// top bit set outside Windows NT. Add/Remove Programs came with Windows 95 and
// NT 4.0.
TEST(ChooseInstallerBuild, NtGetsTheNtBuildWindows95ItsOwnAndWin32sNone)
{
    const struct {
        const char* System;
        std::uint32_t Version;
        InstallerBuildChoice Choice;
        bool RemovalPanel;
    } rows[] = {
        {"NT 3.51", 0x04213303u, InstallerBuildChoice::WindowsNt, false},
        {"NT 4.0", 0x05650004u, InstallerBuildChoice::WindowsNt, true},
        {"Windows 2000", 0x08930005u, InstallerBuildChoice::WindowsNt, true},
        {"Windows 95", 0xC3B60004u, InstallerBuildChoice::Windows95, true},
        {"Windows 98", 0xC0000A04u, InstallerBuildChoice::Windows95, true},
        {"Win32s on Windows 3.1", 0x80000A03u, InstallerBuildChoice::Unsupported, false},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(row.Choice, ChooseInstallerBuild(row.Version)) << row.System;
        EXPECT_EQ(row.RemovalPanel, HasAddRemovePrograms(row.Version)) << row.System;
    }
    EXPECT_STREQ("TSINST95.EXE", InstallerFileName(InstallerBuildChoice::Windows95));
    EXPECT_STREQ("TSINSTNT.EXE", InstallerFileName(InstallerBuildChoice::WindowsNt));
    EXPECT_EQ(nullptr, InstallerFileName(InstallerBuildChoice::Unsupported));
    EXPECT_STREQ("TSINSTNT.DLL", EngineFileName(InstallerBuildChoice::WindowsNt));
}

// The files SETUP.EXE expands, in order, each marked when it comes after the
// main window ("+"): the engine first among those of an attended run; an
// unattended run's engine starts at once, so everything comes before it.
TEST(ListLaunchFiles, TheEngineComesAfterTheWindowUnlessTheRunIsUnattended)
{
    const struct {
        bool Windowless;
        const char* Files;
    } rows[] = {
        {false, "TSINST95.EXE INSTALL.EMF TSINST95.DLL+ TSW_INST.HLP+ TSWREMOV.EXE+"},
        {true, "TSINST95.EXE INSTALL.EMF TSINST95.DLL TSW_INST.HLP TSWREMOV.EXE"},
    };
    for (const auto& row : rows) {
        CompanionFile files[LaunchFileCount];
        ListLaunchFiles("TSINST95.EXE", "TSINST95.DLL", row.Windowless, files);
        std::string listed;
        for (const CompanionFile& file : files)
            listed += std::string(listed.empty() ? "" : " ") + file.Name + (file.AfterMainWindow ? "+" : "");
        EXPECT_EQ(row.Files, listed) << (row.Windowless ? "/Q" : "attended");
    }
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

// Each line as the installer's C start-up splits it gives back the source
// folder, and the installer reads an unattended run's switch from it.
TEST(BuildInstallerCommandLine, QuotesTheInstallerAndASourceWithABlank)
{
    const struct {
        const char* Source;
        std::uint32_t Window;
        const char* Line;
        const char* Then = nullptr;
        const char* Folder = nullptr;
    } rows[] = {
        {"A:\\", 0x1A2B, "\"C:\\TEMP\\TSW00001.TMP\\TSINST95.EXE\" A:\\ 1A2B"},
        {"T:\\", 0x1A2B, "\"C:\\TEMP\\TSW00001.TMP\\TSINST95.EXE\" T:\\ 1A2B /Q", kUnattendedArgument},
        {"A:\\", 0xFFFF0000u, "\"C:\\TEMP\\TSW00001.TMP\\TSINST95.EXE\" A:\\ FFFF0000"},
        {"A:\\", 0, "\"C:\\TEMP\\TSW00001.TMP\\TSINST95.EXE\" A:\\ 0"},
        {"C:\\MY DISKS\\", 0x20, "\"C:\\TEMP\\TSW00001.TMP\\TSINST95.EXE\" \"C:\\MY DISKS\\\\\" 20"},
        {"A:\\", 0x20, "\"C:\\TEMP\\TSW00001.TMP\\TSINST95.EXE\" A:\\ 20 /A \"S:\\TSW 30\"", kPointArgument, "S:\\TSW 30"},
    };
    for (const auto& row : rows) {
        char line[96];
        ASSERT_TRUE(BuildInstallerCommandLine("C:\\TEMP\\TSW00001.TMP\\TSINST95.EXE", row.Source, row.Window, line,
                                              sizeof line, row.Then, row.Folder));
        EXPECT_STREQ(row.Line, line);
        std::string text(line);
        std::vector<char*> argv(CommandLineArgumentSlots(text.size()));
        std::vector<char> split(text.size() + 1);
        const int argc = SplitCommandLine(line, argv.data(), split.data());
        ASSERT_EQ(3 + (row.Then ? 1 : 0) + (row.Folder ? 1 : 0), argc) << line;
        EXPECT_STREQ("C:\\TEMP\\TSW00001.TMP\\TSINST95.EXE", argv[0]);
        EXPECT_STREQ(row.Source, argv[1]);
        const LaunchArguments parsed = ParseLaunchArguments(argc, argv.data());
        EXPECT_EQ(row.Then == kUnattendedArgument, parsed.Unattended) << line;
        EXPECT_EQ(row.Folder != nullptr, parsed.Point) << line;
        EXPECT_STREQ(row.Folder, parsed.PointFolder) << line;
    }
    char shortLine[40];
    EXPECT_FALSE(BuildInstallerCommandLine("C:\\TEMP\\TSW00001.TMP\\TSINST95.EXE", "A:\\", 0x1A2B, shortLine,
                                           sizeof shortLine));
    EXPECT_LT(std::string(shortLine).size(), sizeof shortLine);
}

// The first argument, in either case; anything else is ignored, as it was.
TEST(ReadSetupSwitches, QuietOrAnInstallationPointWithItsFolder)
{
    const struct {
        std::vector<const char*> Arguments;
        SetupMode Mode;
        const char* Folder;
    } rows[] = {
        {{}, SetupMode::Attended, nullptr},
        {{"0", "A:\\"}, SetupMode::Attended, nullptr},
        {{"/q"}, SetupMode::Unattended, nullptr},
        {{"/A", "T:\\TSW30"}, SetupMode::InstallationPoint, "T:\\TSW30"},
        {{"/a"}, SetupMode::InstallationPoint, nullptr},
        {{"/A", ""}, SetupMode::InstallationPoint, nullptr},
        {{"/Q", "/A", "T:\\"}, SetupMode::Unattended, nullptr},
        {{"0", "/Q"}, SetupMode::Attended, nullptr},
    };
    for (const auto& row : rows) {
        std::vector<char*> argv{const_cast<char*>("A:\\SETUP.EXE")};
        for (const char* argument : row.Arguments) argv.push_back(const_cast<char*>(argument));
        const SetupRequest request = ReadSetupSwitches(static_cast<int>(argv.size()), argv.data());
        EXPECT_EQ(row.Mode, request.Mode) << row.Arguments.size();
        EXPECT_STREQ(row.Folder, request.Folder) << row.Arguments.size();
    }
}

TEST(HelpFileFitsViewer, TheHelpPathTakesAtMost127Characters)
{
    const std::string folder = "C:\\" + std::string(111, 'T');  // with \TSW_INST.HLP: 127
    EXPECT_TRUE(HelpFileFitsViewer(folder.c_str()));
    EXPECT_FALSE(HelpFileFitsViewer((folder + "X").c_str()));
}

// The folders tried for the copy, as probed, and the one taken: a folder on a
// hard disk with room for the files, each of which may take a cluster more.
TEST(NextCopyPlace, TakesTheFirstFolderOnAHardDiskWithRoomAndSaysWhyNoneCould)
{
    CopyPlaceFolders folders;
    ListCopyPlaces("A:\\", "C:\\WINDOWS", folders);
    EXPECT_STREQ("C:\\WINDOWS\\TEMP", folders[1]);
    EXPECT_STREQ("C:\\", folders[2]);
    const CopyNeed need{100 * 1024, 3};
    const CopyPlaceProbe hard{"C:\\WINDOWS\\TEMP", true, true, true, 200 * 1024, 4096};
    const CopyPlaceProbe full{"C:\\", true, true, true, need.Bytes + 3 * 4096 - 1, 4096};
    const std::string deep = "C:\\" + std::string(99, 'D');  // with \TSW00000.TMP\TSW_INST.HLP: 128
    const struct {
        const char* Case;
        CopyPlaceProbe Temp;
        CopyPlaceProbe Second;
        std::size_t Taken;
        CopyPlaceFault TempFault;
    } rows[] = {
        {"TEMP on a hard disk", {"D:\\TEMP\\", true, true, true, 1 << 20, 512}, hard, 0, CopyPlaceFault::None},
        {"TEMP on the floppy", {"A:\\", true, false, true, 1 << 20, 512}, hard, 1, CopyPlaceFault::NotHardDisk},
        {"TEMP missing", {"C:\\NOSUCH\\", false, false, false, 0, 0}, hard, 1, CopyPlaceFault::Missing},
        {"no TEMP at all", {}, hard, 1, CopyPlaceFault::Missing},
        {"TEMP without room", full, hard, 1, CopyPlaceFault::TooLittleRoom},
        {"free space unknown", {"\\\\SERVER\\TEMP\\", true, true, false, 0, 0}, hard, 0, CopyPlaceFault::None},
        {"help path too long", {deep.c_str(), true, true, true, 1 << 20, 512}, hard, 1, CopyPlaceFault::PathTooLong},
        {"TEMP the Windows one", {"c:\\windows\\temp\\", true, true, true, 200 * 1024, 4096}, hard, 0,
         CopyPlaceFault::None},
    };
    for (const auto& row : rows) {
        const CopyPlaceProbe places[] = {row.Temp, row.Second, full};
        CopyPlaceFault faults[kCopyPlaceCount];
        EXPECT_EQ(row.Taken, NextCopyPlace(places, kCopyPlaceCount, 0, need, faults)) << row.Case;
        EXPECT_EQ(row.TempFault, faults[0]) << row.Case;
    }

    // None can: the box names each folder once with its fault and says how to go on.
    const CopyPlaceProbe places[] = {{"A:\\", true, false, true, 1 << 20, 512},
                                     {"C:\\WINDOWS\\TEMP", true, true, true, 1 << 20, 4096}, full};
    CopyPlaceFault faults[kCopyPlaceCount];
    ASSERT_EQ(1u, NextCopyPlace(places, kCopyPlaceCount, 0, {200 * 1024, 3}, faults));
    faults[1] = CopyPlaceFault::CopyFailed;
    ASSERT_EQ(kCopyPlaceCount, NextCopyPlace(places, kCopyPlaceCount, 2, {200 * 1024, 3}, faults));
    char text[512];
    NoCopyPlaceText(places, faults, kCopyPlaceCount, {200 * 1024, 3}, text, sizeof text);
    EXPECT_STREQ("SETUP.EXE could not write the installer (200 KB) to a folder on a hard disk:\n\n"
                 "A:\\ (TEMP): not on a hard disk\nC:\\WINDOWS\\TEMP: writing there failed\nC:\\: 112 KB free\n\n"
                 "Free 200 KB on drive C:, or set TEMP to a folder on a hard disk that has the room, then start "
                 "SETUP.EXE again.",
                 text);
    const CopyPlaceProbe same[] = {full, {"c:\\", true, true, true, 1 << 20, 4096}, full};
    ASSERT_EQ(kCopyPlaceCount, NextCopyPlace(same, kCopyPlaceCount, 0, {200 * 1024, 3}, faults));
    EXPECT_EQ(CopyPlaceFault::SameAsEarlier, faults[1]);
}
