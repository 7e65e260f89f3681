// The removal cut short at each of its file steps (a power cut there: that
// step and every later one fails, and the removal stops), then a removal that
// runs through: the same end as a removal never cut. The person's own file,
// a changed data file and the removal program itself stay.
#include "engine/FileSteps.h"
#include "engine/plain/Crc32.h"
#include "engine/plain/RemovalRegistration.h"
#include "remover/Removal.h"
#include "tests/kit/DdeServerProcess.h"
#include "tests/kit/FileBytes.h"
#include "tests/kit/FileTree.h"
#include "tests/kit/PrivateDesktop.h"
#include "tests/kit/TempFolder.h"

#include <gtest/gtest.h>
#include <windows.h>

namespace {
// The installation as the record names it, and what the person did since.
const FileMap Installed = {
    {"TSW.EXE", "the updated program"}, {"TSWDB.DLL", "database"},       {"LOOKUP\\SMALL.TBL", "table"},
    {"LOOKUP\\ITU.LU", "lookup"},       {"USER_DLL\\USERDB.DOC", "doc"}, {"TSWREMOV.EXE", "remover"},
};
const FileMap Kept = {{"LOOKUP\\ITU.LU", "lookup, as the person changed it"}, {"NOTES.TXT", "the person's notes"},
                      {"TSWREMOV.EXE", "remover"}};

std::string FileLine(const std::string& name, const std::string& bytes)
{
    return RecordedFileLine({name, Crc32(0, bytes.data(), bytes.size()), static_cast<std::uint32_t>(bytes.size())});
}

// With `group`, the installation made the personal program group.
std::string RecordText(bool group = false)
{
    std::string text = InstallRecordTitle() + RecordedFolderLine(".") + RecordedFolderLine("LOOKUP") +
                       RecordedFolderLine("USER_DLL") + FileLine("TSW.EXE", "the first program");
    for (const auto& file : Installed) text += FileLine(file.first, file.second);
    return text + (group ? RecordedGroupLine(false) : "") + RecordedRegistrationLine();
}

struct Answers : RemovalSurface {
    bool RetryRemoval(const char*) override { return false; }
    bool RemoveOwnFileLater(bool) override { return true; }
};

// Every file step is noted; from step `cut` on (counted from 1), each fails.
struct Cut {
    explicit Cut(std::size_t at) : At(at) { WatchFileSteps(&Step, this); }
    ~Cut() { WatchFileSteps(nullptr, nullptr); }
    static bool Step(FileStep, const std::string& path, const std::string&, void* context)
    {
        Cut& cut = *static_cast<Cut*>(context);
        cut.Paths.push_back(path);
        return cut.At == 0 || cut.Paths.size() < cut.At;
    }
    std::size_t At;
    std::vector<std::string> Paths;
};

class RemovalCut : public ::testing::Test {
protected:
    void SetUp() override { Install(OwnPath); }
    // The installation, registered with `uninstall` as its UninstallString.
    void Install(const std::string& uninstall)
    {
        FileMap tree = Installed;
        tree["LOOKUP\\ITU.LU"] = Kept.at("LOOKUP\\ITU.LU");
        tree["NOTES.TXT"] = Kept.at("NOTES.TXT");
        tree["TSW_FILE.CHK"] = "";
        tree[kInstallRecordName] = RecordText(Group);
        ASSERT_TRUE(WriteTree(Target, tree));
        HKEY key = nullptr;
        ASSERT_EQ(ERROR_SUCCESS, ::RegCreateKeyExA(HKEY_LOCAL_MACHINE, kUninstallKeyPath, 0, nullptr, 0, KEY_SET_VALUE,
                                                   nullptr, &key, nullptr));
        ::RegSetValueExA(key, "UninstallString", 0, REG_SZ, reinterpret_cast<const BYTE*>(uninstall.c_str()),
                         static_cast<DWORD>(uninstall.size() + 1));
        ::RegCloseKey(key);
        if (uninstall.empty()) ::RegDeleteKeyA(HKEY_LOCAL_MACHINE, kUninstallKeyPath);
    }
    void TearDown() override { ::RegDeleteKeyA(HKEY_LOCAL_MACHINE, kUninstallKeyPath); }

    RemovalOutcome Remove(std::size_t cutAt, std::vector<std::string>* steps = nullptr)
    {
        InstallRecordContents record;
        const std::string text = RecordText(Group);
        EXPECT_TRUE(ReadInstallRecord(text.data(), text.size(), record));
        Cut cut(cutAt);
        Answers answers;
        RemovalOutcome outcome;
        RemoveInstallation(Target.c_str(), record, OwnPath.c_str(), answers, outcome);
        if (steps) *steps = cut.Paths;
        return outcome;
    }

    static bool Registered()
    {
        HKEY key = nullptr;
        if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, kUninstallKeyPath, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return false;
        ::RegCloseKey(key);
        return true;
    }

    bool Group = false;
    TempFolder Folder{"removal"};
    const std::string Target = Folder / "TSW30";
    const std::string OwnPath = Target + "\\TSWREMOV.EXE";
};
}

TEST_F(RemovalCut, EveryCutIsFinishedByTheNextRemoval)
{
    std::vector<std::string> steps;
    const RemovalOutcome whole = Remove(0, &steps);
    EXPECT_TRUE(RemovalComplete(whole));
    EXPECT_TRUE(SameTree(Kept, TakeTree(Target, TreeFiles)));
    EXPECT_EQ(2u, whole.KeptCount);
    EXPECT_EQ(4u + 1u, whole.FilesRemoved);  // four installed files and the marker
    EXPECT_FALSE(Registered());
    // Four files, two folders (one holds the changed file), the marker, the record.
    ASSERT_EQ(8u, steps.size());
    EXPECT_EQ(Target + "\\" + kInstallRecordName, steps.back());

    for (std::size_t at = 1; at <= steps.size(); ++at) {
        SCOPED_TRACE("cut at step " + std::to_string(at) + ", " + steps[at - 1]);
        TearDown();
        ASSERT_TRUE(RemoveTree(Target));
        ASSERT_NO_FATAL_FAILURE(SetUp());
        const RemovalOutcome cut = Remove(at);
        EXPECT_FALSE(RemovalComplete(cut));
        EXPECT_TRUE(cut.RecordLeft);
        // Nothing from the cut on is gone.
        for (std::size_t i = at - 1; i < steps.size(); ++i)
            EXPECT_NE(INVALID_FILE_ATTRIBUTES, ::GetFileAttributesA(steps[i].c_str())) << steps[i];
        const RemovalOutcome again = Remove(0);
        EXPECT_TRUE(RemovalComplete(again));
        EXPECT_TRUE(SameTree(Kept, TakeTree(Target, TreeFiles)));
        EXPECT_FALSE(Registered());
    }
}

// A later installation elsewhere took the registration over: it stays.
TEST_F(RemovalCut, LeavesTheRegistrationOfAnotherInstallation)
{
    TempFolder elsewhere("removal-other");
    const std::string other = elsewhere / "TSWREMOV.EXE";
    ASSERT_TRUE(WriteFileBytes(other, "remover"));
    ASSERT_TRUE(RemoveTree(Target));
    ASSERT_NO_FATAL_FAILURE(Install(other));
    EXPECT_TRUE(RemovalComplete(Remove(0)));
    EXPECT_TRUE(Registered());
}

// The group goes with the installation it belongs to: whole where this
// installation's Uninstall entry names it, never where another's does, and
// without an entry only when Program Manager lists nothing but this folder's
// items. A group Program Manager keeps stays named in the record.
TEST_F(RemovalCut, RemovesTheGroupOnlyWithItsOwnInstallation)
{
    TSTESTKIT_RUN_ON_PRIVATE_DESKTOP();
    TempFolder elsewhere("removal-other");
    const std::string other = elsewhere / "TSWREMOV.EXE";
    ASSERT_TRUE(WriteFileBytes(other, "remover"));
    const std::string item = "\"Tessaryn 3.0\",\"" + Target + "\\TSW.EXE\",,,0,0,0,0,0\r\n";
    const std::string revisions = "\"Revisions\",\"C:\\WINDOWS\\notepad.exe " + Target + "\\tsw.txt\",,,0,0,0,0,0\r\n";
    const std::string others = "\"Remove Tessaryn 3.0\",\"" + Target + "X\\TSWREMOV.EXE\",,,0,0,0,0,0\r\n";
    const std::string title = "\"Tessaryn 3.0\",C:\\GROUP.GRP,2\r\n";
    const struct {
        const char* Case;
        std::string Uninstall;     // the Uninstall entry's command, empty for none
        std::string Listed;        // what Program Manager lists of the group, empty for no answer
        const char* Refused;       // the executes it refuses
        DWORD Delay;               // ms before each execute's answer
        bool DeleteGroupSent, Removed, Shared, Left;
    } rows[] = {
        {"this installation's entry", OwnPath, "", "", 0, true, true, false, false},
        {"another installation's entry", other, title + item, "", 0, false, false, true, false},
        {"no entry, only this folder's items", "", title + item + revisions, "", 0, true, true, false, false},
        {"no entry, another folder's item too", "", title + item + others, "", 0, false, false, true, false},
        {"no entry, the items not listed", "", "", "", 0, false, false, false, true},
        {"the deletion refused, the group listed", OwnPath, title, "DeleteGroup", 0, true, false, false, true},
        {"the deletion refused, no such group", OwnPath, "", "DeleteGroup", 0, true, true, false, false},
        {"the deletion not answered", OwnPath, title, "", 6000, true, false, false, true},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.Case);
        TearDown();
        ASSERT_TRUE(RemoveTree(Target));
        Group = true;
        ASSERT_NO_FATAL_FAILURE(Install(row.Uninstall));
        DdeServerProcess::Options options;
        if (!row.Listed.empty()) {
            options.GroupFile = Folder / "group.txt";
            ASSERT_TRUE(WriteFileBytes(options.GroupFile, row.Listed));
        }
        options.Refuse = row.Refused;
        options.ExecuteDelay = row.Delay;
        ShellDdeServersHidden wineServices;
        DdeServerProcess progman(options);
        ASSERT_TRUE(progman.Ready());
        const RemovalOutcome outcome = Remove(0);
        const std::vector<std::string> executes = progman.Executes();
        const bool sent = !executes.empty() && executes.back().find("[DeleteGroup(Tessaryn 3.0)]") != std::string::npos;
        EXPECT_EQ(row.DeleteGroupSent, sent);
        EXPECT_EQ(row.Removed, outcome.GroupRemoved);
        EXPECT_EQ(row.Shared, outcome.GroupShared);
        EXPECT_EQ(row.Left, outcome.GroupLeft);
        // The record stays, naming the group, only where the group should have gone.
        EXPECT_EQ(row.Left, outcome.RecordLeft);
        EXPECT_EQ(row.Uninstall == other, Registered());
    }
}
