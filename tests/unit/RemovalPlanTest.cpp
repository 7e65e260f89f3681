#include "remover/plain/RemovalPlan.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {
InstallRecordContents Record(const std::string& text)
{
    InstallRecordContents record;
    ReadInstallRecord(text.data(), text.size(), record);
    return record;
}

// An installation, then an update that replaced TSW.EXE: both versions named.
const InstallRecordContents Installed = Record(
    "TSW30 INSTALLATION RECORD\r\nFOLDER .\r\nFOLDER LOOKUP\r\nFOLDER USER_DLL\r\nFOLDER LOOKUP\\OLD\r\n"
    "FILE 0A1B2C3D 48213 TSW.EXE\r\nFILE 9F00E417 912 LOOKUP\\ITU.LU\r\nFILE 22222222 48300 tsw.exe\r\n"
    "FOLDER lookup\r\nGROUP PERSONAL Tessaryn 3.0\r\nREGISTRY Tessaryn 3.0\r\n");

std::string Edited(const std::string& wininit)
{
    std::vector<char> out(wininit.size() + kWininitGrowth);
    return std::string(out.data(),
                       WithDeletionAtStart(wininit.data(), wininit.size(), "C:\\TSW30\\TSWREMOV.EXE", out.data()));
}
}

// Each name once, whatever its case and however many versions; a version is
// one of the name's lines, size and CRC-32 both; folders deepest first.
TEST(RemovalPlan, JudgesFilesByAnyOfTheirVersionsAndFoldersDeepestFirst)
{
    ASSERT_TRUE(Installed.PersonalGroup && Installed.Registered);
    std::vector<std::string> names;
    for (std::size_t i = 0; i < Installed.Files.size(); ++i)
        if (FirstLineOfFile(Installed, i)) names.push_back(Installed.Files[i].Name);
    EXPECT_EQ((std::vector<std::string>{"TSW.EXE", "LOOKUP\\ITU.LU"}), names);
    const struct {
        const char* Name;
        std::uint32_t Size, Crc;
        bool Installed;
    } rows[] = {
        {"TSW.EXE", 48213, 0x0A1B2C3D, true},   // the first installation's
        {"Tsw.Exe", 48300, 0x22222222, true},   // the update's, any case
        {"TSW.EXE", 48213, 0x22222222, false},  // a changed file of the same size
        {"TSW.EXE", 48214, 0x0A1B2C3D, false},  // the same CRC at another size
        {"ITU.LU", 912, 0x9F00E417, false},     // the same file in another folder
    };
    for (const auto& row : rows) EXPECT_EQ(row.Installed, IsInstalledVersion(Installed, row.Name, row.Size, row.Crc))
        << row.Name << " " << row.Size;

    std::vector<std::string> folders;
    for (std::size_t depth = kFolderDepthMax; depth > 0; --depth)
        for (std::size_t i = 0; i < Installed.Folders.size(); ++i)
            if (FolderDepth(Installed.Folders[i].c_str()) == depth && FirstLineOfFolder(Installed, i))
                folders.push_back(Installed.Folders[i]);
    EXPECT_EQ((std::vector<std::string>{"LOOKUP\\OLD", "LOOKUP", "USER_DLL"}), folders);
    EXPECT_TRUE(InstalledFolderItself(Installed));
    EXPECT_FALSE(InstalledFolderItself(Record("TSW30 INSTALLATION RECORD\r\nFOLDER LOOKUP\r\n")));
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
    for (const auto& row : rows) EXPECT_EQ(row.After, Edited(row.Before)) << row.Before;
}

TEST(RemovalPlan, LastBoxNamesWhatWentEachFileKeptAndWhatIsLeftToDo)
{
    char text[kLastBoxTextSize];
    RemovalOutcome outcome;
    outcome.FilesRemoved = 14;
    outcome.FoldersRemoved = 1;
    outcome.GroupRemoved = outcome.RegistrationRemoved = outcome.OwnFileLater = true;
    outcome.Keep("LOOKUP", "ITU.LU", RemovalOutcome::KeptReason::Changed);
    outcome.Keep("", "NOTES.TXT", RemovalOutcome::KeptReason::NotInstalled);
    outcome.Keep("", "MINE", RemovalOutcome::KeptReason::NotInstalled, true);
    EXPECT_TRUE(RemovalComplete(outcome));
    LastBoxText("C:\\TSW30", outcome, text, sizeof text);
    EXPECT_STREQ("Removed from C:\\TSW30: 14 files, 1 folder, the program group, its entry in Add/Remove Programs.\n\n"
                 "Kept:\nLOOKUP\\ITU.LU: changed since it was installed\nNOTES.TXT: not installed by Tessaryn 3.0\n"
                 "MINE\\: not installed by Tessaryn 3.0\n\nTSWREMOV.EXE goes when Windows next starts.",
                 text);

    // Stopped at a file: the record stays for the next removal.
    RemovalOutcome stopped;
    stopped.FilesRemoved = 1;
    stopped.Cancelled = stopped.RecordLeft = true;
    stopped.Keep("", "TSWDB.DLL", RemovalOutcome::KeptReason::Undeletable);
    EXPECT_FALSE(NothingLeftToRemove(stopped));
    LastBoxText("C:\\TSW30", stopped, text, sizeof text);
    EXPECT_STREQ("Removed from C:\\TSW30: 1 file, 0 folders.\n\nKept:\nTSWDB.DLL: could not be removed\n\n"
                 "Run the removal again to finish it.",
                 text);

    // Something left keeps the removal from being complete; names beyond a screenful are counted.
    outcome.GroupLeft = true;
    EXPECT_FALSE(RemovalComplete(outcome));
    for (int i = 0; i < 20; ++i) outcome.Keep("", "MORE.TXT", RemovalOutcome::KeptReason::NotInstalled);
    outcome.GroupLeft = outcome.OwnFileLater = false;
    LastBoxText("C:\\TSW30", outcome, text, sizeof text);
    EXPECT_NE(nullptr, std::strstr(text, "\nand more\n\nDelete TSWREMOV.EXE yourself.")) << text;
}
