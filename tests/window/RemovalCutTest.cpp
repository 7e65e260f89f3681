// The removal cut short at each of its file steps (a power cut there: that
// step and every later one fails, and the removal stops), then a removal that
// runs through: the same end as a removal never cut. The person's own file,
// a changed data file and the removal program itself stay.
#include "engine/FileSteps.h"
#include "engine/plain/Crc32.h"
#include "engine/plain/RemovalRegistration.h"
#include "remover/Removal.h"
#include "tests/kit/FileTree.h"
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

std::string RecordText()
{
    std::string text = InstallRecordTitle() + RecordedFolderLine(".") + RecordedFolderLine("LOOKUP") +
                       RecordedFolderLine("USER_DLL") + FileLine("TSW.EXE", "the first program");
    for (const auto& file : Installed) text += FileLine(file.first, file.second);
    return text + RecordedRegistrationLine();
}

struct Answers : RemovalSurface {
    void Removing(const char*) override {}
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
        tree[kInstallRecordName] = RecordText();
        ASSERT_TRUE(WriteTree(Target, tree));
        HKEY key = nullptr;
        ASSERT_EQ(ERROR_SUCCESS, ::RegCreateKeyExA(HKEY_LOCAL_MACHINE, kUninstallKeyPath, 0, nullptr, 0, KEY_SET_VALUE,
                                                   nullptr, &key, nullptr));
        ::RegSetValueExA(key, "UninstallString", 0, REG_SZ, reinterpret_cast<const BYTE*>(uninstall.c_str()),
                         static_cast<DWORD>(uninstall.size() + 1));
        ::RegCloseKey(key);
    }
    void TearDown() override { ::RegDeleteKeyA(HKEY_LOCAL_MACHINE, kUninstallKeyPath); }

    RemovalOutcome Remove(std::size_t cutAt, std::vector<std::string>* steps = nullptr)
    {
        InstallRecordContents record;
        const std::string text = RecordText();
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
