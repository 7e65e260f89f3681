#include "remover/plain/RemovalPlan.h"

#include <gtest/gtest.h>

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
    "FILE 0A1B2C3D 48213 TSW.EXE\r\nFILE 9F00E417 912 LOOKUP\\ITU.LU\r\nFILE 11111111 100 TSWREMOV.EXE\r\n"
    "FILE 22222222 48300 tsw.exe\r\nFOLDER LOOKUP\r\n");
}

TEST(RemovalPlan, RemovesEachInstalledVersionOnceAndLeavesItsOwnFileForLast)
{
    EXPECT_EQ((std::vector<std::string>{"TSW.EXE", "LOOKUP\\ITU.LU"}), RecordedFileNames(Installed, "tswremov.exe"));
    const struct {
        const char* Name;
        std::uint32_t Size, Crc;
        bool Installed;
    } rows[] = {
        {"TSW.EXE", 48213, 0x0A1B2C3D, true},   // the first installation's
        {"Tsw.Exe", 48300, 0x22222222, true},   // the update's, any case
        {"TSW.EXE", 48213, 0x22222222, false},  // a changed file of the same size
        {"TSW.EXE", 48214, 0x0A1B2C3D, false},  // the same CRC at another size
        {"LOOKUP\\ITU.LU", 912, 0x9F00E417, true},
        {"ITU.LU", 912, 0x9F00E417, false},     // the same file in another folder
    };
    for (const auto& row : rows) EXPECT_EQ(row.Installed, IsInstalledVersion(Installed, row.Name, row.Size, row.Crc))
        << row.Name << " " << row.Size;
    EXPECT_EQ((std::vector<std::string>{"LOOKUP\\OLD", "LOOKUP", "USER_DLL"}), FoldersDeepestFirst(Installed));
    EXPECT_TRUE(InstalledFolderItself(Installed));
    EXPECT_FALSE(InstalledFolderItself(Record("TSW30 INSTALLATION RECORD\r\nFOLDER LOOKUP\r\n")));
    EXPECT_EQ("[DeleteGroup(Tessaryn 3.0)]", DeleteGroupCommand(false));
    EXPECT_EQ("[DeleteGroup(Tessaryn 3.0,1)]", DeleteGroupCommand(true));
}

// A later installation elsewhere took the registration over: it is not this program's.
TEST(RemovalPlan, TakesOnlyItsOwnRegistration)
{
    const struct {
        const char* Value;
        bool Own;
    } rows[] = {
        {"C:\\TSW30\\TSWREMOV.EXE", true},       {"c:\\tsw30\\tswremov.exe", true},
        {"\"C:\\TSW30\\TSWREMOV.EXE\"", true},   {"D:\\TSW30\\TSWREMOV.EXE", false},
        {"C:\\TSW30\\TSWREMOV.EXE /X", false},   {"", false},
    };
    for (const auto& row : rows) EXPECT_EQ(row.Own, IsOwnUninstallString(row.Value, "C:\\TSW30\\TSWREMOV.EXE"))
        << row.Value;
}

// The line goes into the [rename] section, whatever else it holds, once.
TEST(RemovalPlan, AddsItsLineToWininitsRenameSection)
{
    const char* const path = "C:\\TSW30\\TSWREMOV.EXE";
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
    for (const auto& row : rows) EXPECT_EQ(row.After, WithDeletionAtStart(row.Before, path)) << row.Before;
}

TEST(RemovalPlan, LastBoxNamesWhatWentEachFileKeptAndWhatIsLeftToDo)
{
    RemovalOutcome outcome;
    outcome.FilesRemoved = 14;
    outcome.FoldersRemoved = 1;
    outcome.GroupRemoved = outcome.RegistrationRemoved = outcome.OwnFileLater = true;
    outcome.KeptFiles = {{"LOOKUP\\ITU.LU", RemovalOutcome::KeptReason::Changed},
                         {"NOTES.TXT", RemovalOutcome::KeptReason::NotInstalled}};
    EXPECT_TRUE(RemovalComplete(outcome));
    EXPECT_EQ("Removed from C:\\TSW30: 14 files, 1 folder, the program group, its entry in Add/Remove Programs.\n\n"
              "Kept:\nLOOKUP\\ITU.LU: changed since it was installed\nNOTES.TXT: not installed by Tessaryn 3.0\n\n"
              "The removal program itself goes when Windows next starts.",
              LastBoxText("C:\\TSW30", outcome));

    RemovalOutcome stopped;
    stopped.FilesRemoved = 1;
    stopped.Cancelled = stopped.RecordLeft = true;
    stopped.KeptFiles = {{"TSWDB.DLL", RemovalOutcome::KeptReason::Undeletable}};
    EXPECT_FALSE(NothingLeftToRemove(stopped));
    EXPECT_EQ("The removal was stopped. Removed from C:\\TSW30: 1 file, 0 folders.\n\n"
              "Kept:\nTSWDB.DLL: could not be removed\n\nRun the removal again to finish it.",
              LastBoxText("C:\\TSW30", stopped));

    // Each thing left keeps the removal from being complete.
    RemovalOutcome left = outcome;
    left.GroupLeft = true;
    EXPECT_FALSE(RemovalComplete(left));
    left = outcome;
    left.RegistrationLeft = true;
    EXPECT_FALSE(RemovalComplete(left));
    left = outcome;
    left.OwnFileLater = false;
    EXPECT_FALSE(RemovalComplete(left));
    EXPECT_NE(std::string::npos, LastBoxText("C:\\TSW30", left).find("Delete TSWREMOV.EXE yourself"));
}
