#include "remover/plain/RemovalPlan.h"

#include <gtest/gtest.h>

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
    // A file it could not remove: the record stays for the next removal.
    outcome.Keep("", "TSWDB.DLL", RemovalOutcome::KeptReason::Undeletable);
    EXPECT_FALSE(NothingLeftToRemove(outcome));
}
