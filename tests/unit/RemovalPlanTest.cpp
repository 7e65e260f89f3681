#include "remover/plain/RemovalPlan.h"
#include "engine/plain/DeletionAtStart.h"
#include "engine/plain/RemovalRegistration.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

// An installation, then an update that replaced TSW.EXE: a file is the
// installation's when its size and CRC-32 are those of any of its name's
// lines; each name and folder is looked at once; folders go deepest first.
TEST(RemovalPlan, JudgesFilesByAnyOfTheirVersions)
{
    const std::string text = "TSW30 INSTALLATION RECORD\r\nFOLDER .\r\nFOLDER LOOKUP\\OLD\r\nFOLDER lookup\r\n"
                             "FILE 0A1B2C3D 48213 TSW.EXE\r\nFILE 9F00E417 912 LOOKUP\\ITU.LU\r\n"
                             "FILE 22222222 48300 tsw.exe\r\nFOLDER LOOKUP\r\n";
    InstallRecordContents record;
    ASSERT_TRUE(ReadInstallRecord(text.data(), text.size(), record));
    const struct {
        const char* Name;
        std::uint32_t Size, Crc;
        bool Installed;
    } rows[] = {
        {"TSW.EXE", 48213, 0x0A1B2C3D, true},   // the installation's
        {"Tsw.Exe", 48300, 0x22222222, true},   // the update's, any case
        {"TSW.EXE", 48213, 0x22222222, false},  // changed, the same size
        {"TSW.EXE", 48214, 0x0A1B2C3D, false},  // the same CRC at another size
        {"ITU.LU", 912, 0x9F00E417, false},     // the same file in another folder
    };
    for (const auto& row : rows) EXPECT_EQ(row.Installed, IsInstalledVersion(record, row.Name, row.Size, row.Crc))
        << row.Name << " " << row.Size;
    EXPECT_EQ((std::vector<bool>{true, true, false}),
              (std::vector<bool>{FirstLineOfFile(record, 0), FirstLineOfFile(record, 1), FirstLineOfFile(record, 2)}));
    EXPECT_EQ((std::vector<bool>{true, true, true, false}),
              (std::vector<bool>{FirstLineOfFolder(record, 0), FirstLineOfFolder(record, 1),
                                 FirstLineOfFolder(record, 2), FirstLineOfFolder(record, 3)}));
    EXPECT_EQ((std::vector<std::size_t>{0, 2, 1}),
              (std::vector<std::size_t>{FolderDepth("."), FolderDepth("LOOKUP\\OLD"), FolderDepth("LOOKUP")}));
    EXPECT_TRUE(InstalledFolderItself(record));
}

// The line goes into the [rename] section, whatever else the file holds, once.
TEST(RemovalPlan, AddsItsLineToWininitsRenameSection)
{
    const struct {
        const char* Before;
        const char* After;
    } rows[] = {
        {"", "[rename]\r\nNUL=C:\\TSW30\\TSWREMOV.EXE\r\n"},
        {"[other]\r\nA=B", "[other]\r\nA=B\r\n[rename]\r\nNUL=C:\\TSW30\\TSWREMOV.EXE\r\n"},
        {"[Rename]\r\nNUL=C:\\OLD.EXE\r\n[other]\r\n",
         "[Rename]\r\nNUL=C:\\TSW30\\TSWREMOV.EXE\r\nNUL=C:\\OLD.EXE\r\n[other]\r\n"},
        {"[rename]\r\nnul=c:\\tsw30\\tswremov.exe\r\n", "[rename]\r\nnul=c:\\tsw30\\tswremov.exe\r\n"},
        {"[rename]", "[rename]\r\nNUL=C:\\TSW30\\TSWREMOV.EXE\r\n"},
        {"[other]\r\nNUL=C:\\TSW30\\TSWREMOV.EXE\r\n",
         "[other]\r\nNUL=C:\\TSW30\\TSWREMOV.EXE\r\n[rename]\r\nNUL=C:\\TSW30\\TSWREMOV.EXE\r\n"},
    };
    for (const auto& row : rows) {
        const std::string before = row.Before;
        std::vector<char> out(before.size() + kWininitGrowth);
        const std::size_t length = WithDeletionAtStart(before.data(), before.size(), "C:\\TSW30\\TSWREMOV.EXE",
                                                       out.data());
        EXPECT_EQ(row.After, std::string(out.data(), length)) << row.Before;
    }
}

// An installation that puts the removal program back takes back what an
// earlier removal gave the next start to delete: its own line or pair only.
TEST(RemovalPlan, TakesBackOnlyTheDeletionOfTheInstalledProgram)
{
    const std::string ours = "NUL=C:\\TSW30\\TSWREMOV.EXE\r\n", renamed = "C:\\TSW30\\TSWREMOV.EXE=C:\\~TSW1.TMP\r\n";
    for (const auto& row : std::vector<std::pair<std::string, std::string>>{
             {"[rename]\r\nnul=c:\\tsw30\\tswremov.exe\r\nNUL=C:\\OLD.EXE\r\n", "[rename]\r\nNUL=C:\\OLD.EXE\r\n"},
             {"[other]\r\n" + ours + "[rename]\r\n" + ours, "[other]\r\n" + ours + "[rename]\r\n"},
             {"[rename]\r\n" + renamed, "[rename]\r\n" + renamed}}) {
        std::vector<char> out(row.first.size());
        EXPECT_EQ(row.second, std::string(out.data(), WithoutDeletionAtStart(row.first.data(), row.first.size(),
                                                                              "C:\\TSW30\\TSWREMOV.EXE", out.data())));
    }
    // NT's pairs of NUL-ended names, a deletion's second one empty; the caller compares the path.
    const std::string program = std::string("\\??\\C:\\TSW30\\TSWREMOV.EXE") + '\0';
    const std::string other = std::string("\\??\\C:\\A") + '\0' + '\0';
    const auto taken = [](const char* path, void*) { return std::string(path) == "C:\\TSW30\\TSWREMOV.EXE"; };
    for (const auto& row : std::vector<std::pair<std::string, std::string>>{
             {program + '\0' + other + '\0', other + '\0'},
             {program + "!C:\\B" + '\0' + '\0', program + "!C:\\B" + '\0' + '\0'},
             {program.substr(0, 10), program.substr(0, 10)}}) {
        std::vector<char> out(row.first.size());
        EXPECT_EQ(row.second, std::string(out.data(), WithoutPendingDeletions(row.first.data(), row.first.size(), taken,
                                                                               nullptr, out.data())));
    }
}

// A path with a blank would start the first program that fits it.
TEST(UninstallCommand, NeverLeavesABlankUnquoted)
{
    EXPECT_EQ("C:\\TSW30\\TSWREMOV.EXE", UninstallCommand("C:\\TSW30\\TSWREMOV.EXE", "C:\\TSW30\\TSWREMOV.EXE"));
    EXPECT_EQ("C:\\PROGRA~1\\TSW30\\TSWREMOV.EXE",
              UninstallCommand("C:\\PROGRAM FILES\\TSW30\\TSWREMOV.EXE", "C:\\PROGRA~1\\TSW30\\TSWREMOV.EXE"));
    EXPECT_EQ("\"C:\\PROGRAM FILES\\TSW30\\TSWREMOV.EXE\"", UninstallCommand("C:\\PROGRAM FILES\\TSW30\\TSWREMOV.EXE", ""));
}

TEST(RemovalPlan, LastBoxNamesWhatWentAndEachFileKept)
{
    char text[kLastBoxTextSize];
    RemovalOutcome outcome;
    outcome.FilesRemoved = 14;
    outcome.FoldersRemoved = 1;
    outcome.GroupRemoved = outcome.RegistrationRemoved = outcome.OwnFileLater = true;
    outcome.Keep("LOOKUP", "ITU.LU", RemovalOutcome::KeptReason::Changed);
    outcome.Keep("", "MINE", RemovalOutcome::KeptReason::NotInstalled, true);
    EXPECT_TRUE(RemovalComplete(outcome));
    LastBoxText("C:\\TSW30", outcome, text, sizeof text);
    EXPECT_STREQ("Removed from C:\\TSW30: 14 files, 1 folder, the program group, its entry in Add/Remove Programs.\n\n"
                 "Kept:\nLOOKUP\\ITU.LU: changed since it was installed\nMINE\\: not installed by Tessaryn 3.0\n\n"
                 "TSWREMOV.EXE goes when Windows next starts.",
                 text);
    char question[200];
    RemovalQuestion("C:\\TSW30", question, sizeof question);
    EXPECT_STREQ("Remove Tessaryn 3.0 and all of its components from C:\\TSW30?\n\nYour own files and those you "
                 "changed are kept.",
                 question);
    outcome.GroupRemoved = false;
    outcome.GroupShared = true;
    LastBoxText("C:\\TSW30", outcome, text, sizeof text);
    EXPECT_NE(nullptr, std::strstr(text, "\n\nThe group stays with another installation.")) << text;
    // A file it could not remove: the record stays for the next removal.
    outcome.Keep("", "TSWDB.DLL", RemovalOutcome::KeptReason::Undeletable);
    EXPECT_FALSE(NothingLeftToRemove(outcome));
}
