// Faults injected while the installer works: a target disk that fills up,
// write-protected disks, damaged compressed files and list files, a disk
// taken out halfway through a run, the longest paths, and a file standing
// where a folder belongs. Every test checks what the installer reports and
// that what an earlier installation left behind is still there, byte for
// byte, unless the run was meant to replace it.
#include "tests/window/InstallerFixture.h"

#include "tests/kit/DiskSet.h"
#include "tests/kit/UnixBridge.h"
#include "engine/DestinationFile.h"
#include "engine/FileReplacement.h"
#include "engine/FileSteps.h"
#include "engine/SourceReads.h"
#include "engine/plain/Crc32.h"
#include "engine/plain/InstallRecord.h"
#include "engine/plain/LzErrors.h"
#include "engine/plain/ReplacementRecord.h"
#include "engine/plain/ScratchName.h"
#include "framework/UniqueHandle.h"
#include "shell/plain/MessageTable.h"
#include "shell/plain/Settings.h"

#include <lzexpand.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <functional>
#include <map>
#include <strings.h>

namespace {

// Watches the installer's file steps for its life: each is recorded, and
// `decide` (when given) may make it fail as the disk would.
struct StepWatch : private NoCopy {
    struct Step {
        FileStep Kind;
        std::string Path, Other;
    };
    explicit StepWatch(std::function<bool(const Step&)> decide = nullptr) : Decide(std::move(decide))
    {
        WatchFileSteps(&Called, this);
    }
    ~StepWatch() { WatchFileSteps(nullptr, nullptr); }
    static bool Called(FileStep kind, const std::string& path, const std::string& other, void* context)
    {
        StepWatch& watch = *static_cast<StepWatch*>(context);
        watch.Steps.push_back({kind, path, other});
        return !watch.Decide || watch.Decide(watch.Steps.back());
    }
    std::vector<Step> Steps;
    std::function<bool(const Step&)> Decide;
};

bool IsScratchPath(const std::string& path)
{
    return path.find("~TSW0") != std::string::npos || path.find("~TSW1") != std::string::npos;
}

// The box text without the advice below it.
std::string WithoutAdvice(const std::string& text)
{
    return text.substr(0, text.find("\n\n"));
}

// ---------------------------------------------------------------------------

class FaultInjection : public InstallerTest {
protected:
    void SetUp() override
    {
        InstallerTest::SetUp();
        if (HasFatalFailure()) return;
        SetTarget(Join(Scratch, "TSW30"));
    }

    static void SetTarget(const std::string& target)
    {
        CopyBounded(Settings.TargetDirectory, kPathSize, target.c_str());
    }
    static std::string Target() { return Settings.TargetDirectory; }

    std::function<void(HWND)> Insert(const std::string& disk)
    {
        return [this, disk](HWND) { Floppy.Insert(disk); };
    }
    // Queues the two disk prompts of a program run, each answered by
    // inserting that disk of the set.
    void AnswerPromptsWith(const DiskSet& set)
    {
        Boxes.Expect(NewDiskTitle, IDOK, Insert(set.Disk1));
        Boxes.Expect(NewDiskTitle, IDOK, Insert(set.Disk2));
    }

    // A complete run of every component: the installation the faulty run
    // then goes over. Leaves no trace in the transcript or the slots.
    void InstallEarlier(const DiskSet& set)
    {
        AnswerPromptsWith(set);
        ASSERT_TRUE(Window->InstallComponents());
        ASSERT_EQ(Lines({PromptDisk1, PromptDisk2}), Transcript());
        ASSERT_EQ(Lines(), TreeDifferences(set.Complete(), TakeInstalled(Target()))) << "the earlier installation";
        Boxes.Clear();
        Progress.Clear();
        Window->EmptyProgramSlots();
        Floppy.Eject();
    }

    // The files and folders a run installed: its record (whose own test
    // reads it) left out.
    static FileMap TakeInstalled(const std::string& folder)
    {
        FileMap tree = TakeTree(folder);
        tree.erase("TSW_INST.LOG");
        return tree;
    }

    void ExpectTree(FileMap expected, const std::string& folder)
    {
        expected.erase("TSW_INST.LOG");
        EXPECT_EQ(Lines(), TreeDifferences(expected, TakeInstalled(folder))) << "in " << folder;
    }
};
}

// ---------------------------------------------------------------------------
// The target disk fills up in the middle of a file

TEST_F(FaultInjection, FullDiskEndsTheRunAndKeepsTheEarlierFiles)
{
    std::string why = testenv::FullDiskUnavailable();
    if (!why.empty()) GTEST_SKIP() << "no size-limited file system on this machine: " << why;

    // The 64 KB disk holds a small earlier installation (one 4 KB block per
    // file); the new version brings, in one list, a file larger than what is
    // left. Whichever list it is in, the run ends there.
    const std::vector<SetFile> earlier = {
        {1, "", "TSW.EXE", "Tessaryn 3.0", 1500},   {2, "", "TSWDB.DLL", "", 1500},
        {2, "LOOKUP", "SMALL.TBL", "", 1000},       {2, "LOOKUP", "AFTER.TBL", "", 1000},
        {2, "USER_DLL", "USERDB.DOC", "", 1000},     {2, "CRANE", "CRANE1.RN", "", 1000},
        {2, "CCIR", "CCIR1.RN", "", 1000},           {2, "CANADA", "CANADA1.RN", "", 1000},
        {2, "TSDATA", "EXAMPLE1.DAT", "", 1000},
    };
    const struct {
        const char* Folder;  // the big file comes after the first file of this folder's list
        Lines ListsRead;
    } cases[] = {
        {"LOOKUP", {"disk_1.lst", "disk_2.lst", "disk_2e.lst"}},
        {"USER_DLL", {"disk_1.lst", "disk_2.lst", "disk_2e.lst", "disk_2f.lst"}},
        {"CRANE", {"disk_1.lst", "disk_2.lst", "disk_2e.lst", "disk_2f.lst", "disk_2a.lst"}},
        {"CCIR", {"disk_1.lst", "disk_2.lst", "disk_2e.lst", "disk_2f.lst", "disk_2a.lst", "disk_2b.lst"}},
        {"CANADA",
         {"disk_1.lst", "disk_2.lst", "disk_2e.lst", "disk_2f.lst", "disk_2a.lst", "disk_2b.lst", "disk_2c.lst"}},
        {"TSDATA", AllLists},
    };

    const std::string full = testenv::FullDiskFolder();
    SetTarget(Join(full, "TSW30"));
    RemoveOnExit emptyTheDisk(Target());
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string("a file too big for the disk in ") + c.Folder);
        for (const std::string& name : Names(full)) RemoveTree(Join(full, name));
        std::vector<SetFile> newer = earlier;
        auto first = std::find_if(newer.begin(), newer.end(), [&](const SetFile& f) { return f.Folder == c.Folder; });
        const SetFile huge = {2, c.Folder, "HUGE.BIN", "", 100000};
        const std::size_t newCount = static_cast<std::size_t>(first - newer.begin()) + 1;
        newer.insert(first + 1, huge);
        DiskSet v1 = MakeDiskSet(Folder(std::string("v1-") + c.Folder), 1, earlier);
        DiskSet v2 = MakeDiskSet(Folder(std::string("v2-") + c.Folder), 2, newer);
        InstallEarlier(v1);
        if (HasFatalFailure()) return;

        AnswerPromptsWith(v2);
        Boxes.Expect("Installation Error", IDCANCEL);
        EXPECT_FALSE(Window->InstallComponents());
        EXPECT_EQ(Lines({PromptDisk1, PromptDisk2, "Installation Error|" + testenv::FullDiskReport("HUGE.BIN")}),
                  Transcript());
        EXPECT_EQ(c.ListsRead, Progress.ListsRead());

        // The files before the big one are the new version, everything after
        // it the earlier one. Of the big file there is nothing: no part of
        // it, no scratch file.
        FileMap expected = v1.Complete();
        for (std::size_t i = 0; i < newCount; ++i) expected[InstalledPath(newer[i])] = v2.Installed.at(InstalledPath(newer[i]));
        ExpectTree(expected, Target());

        Boxes.Clear();
        Progress.Clear();
        Window->EmptyProgramSlots();
        Floppy.Eject();
    }
    // The marker on a disk the files filled: reported, and none left empty.
    WriteFileBytes(Join(Target(), "FILLER.DAT"), std::string(1 << 16, '#'));
    const FileMap filled = TakeTree(Target());
    Boxes.Expect("Installation Error", IDOK);
    Window->WriteMarkerFile();
    EXPECT_EQ(Lines({"Installation Error|Cannot Create TSW_FILE.CHK"}), Transcript());
    ExpectTree(filled, Target());
}

// ---------------------------------------------------------------------------
// Write-protected disks

TEST_F(FaultInjection, InstallationOnAWriteProtectedDiskIsLeftAsItWas)
{
    if (!testenv::WriteProtectedDiskHasMedia()) GTEST_SKIP() << "drive R: is no write-protected disk with contents here";

    // The earlier installation is put on the disk through the folder it is
    // mounted from; the installer then sees it on R:.
    const std::string media = Join(testenv::WriteProtectedMedia(), "FAULTS");
    RemoveTree(media);
    RemoveOnExit removeMedia(media);
    DiskSet v1 = MakeDiskSet(Folder("v1"), 1, StandardFiles);
    DiskSet v2 = MakeDiskSet(Folder("v2"), 2, StandardFiles);
    SetTarget(media);
    InstallEarlier(v1);
    if (HasFatalFailure()) return;
    const FileMap before = TakeTree(media);

    // Every folder there: the first file of disk 1 cannot be created, and a
    // failure in a program disk's list ends the run before disk 2.
    SetTarget(std::string(1, testenv::ReadOnlyDrive) + ":\\FAULTS");
    Boxes.Expect(NewDiskTitle, IDOK, Insert(v2.Disk1));
    Boxes.Expect("Installation Error", IDCANCEL);
    EXPECT_FALSE(Window->InstallComponents());
    EXPECT_EQ(Lines({PromptDisk1, "Installation Error|File Creation Error TSW.EXE"}), Transcript());
    EXPECT_EQ(Lines({"disk_1.lst"}), Progress.ListsRead());
    ExpectTree(before, media);

    // A subdirectory missing: it cannot be made, and nothing is asked for.
    RemoveTree(Join(media, "CANADA"));
    const FileMap withoutCanada = TakeTree(media);
    Boxes.Clear();
    Progress.Clear();
    Boxes.Expect("Installation Error", IDOK);
    EXPECT_FALSE(Window->InstallComponents());
    EXPECT_EQ(Lines({"Installation Error|Directory Creation Error R:\\FAULTS\\CANADA"}), Transcript());
    EXPECT_TRUE(Progress.Frames().empty());
    ExpectTree(withoutCanada, media);
}

TEST_F(FaultInjection, ReadOnlyInstalledFilesAreNeitherReplacedNorEmptied)
{
    DiskSet v1 = MakeDiskSet(Folder("v1"), 1, StandardFiles);
    DiskSet v2 = MakeDiskSet(Folder("v2"), 2, StandardFiles);
    InstallEarlier(v1);
    if (HasFatalFailure()) return;
    const std::string lookup = Join(Target(), "LOOKUP");
    for (const std::string& name : Names(lookup))
        ASSERT_TRUE(::SetFileAttributesA(Join(lookup, name).c_str(), FILE_ATTRIBUTE_READONLY));

    // Read-only lookup tables: the first one stops the lookup list, and the
    // run goes on with the user database and the data components.
    AnswerPromptsWith(v2);
    Boxes.Expect("Installation Error", IDCANCEL);
    EXPECT_TRUE(Window->InstallComponents());
    EXPECT_EQ(Lines({PromptDisk1, PromptDisk2, "Installation Error|File Creation Error LOOKUP1.TBL"}), Transcript());
    EXPECT_EQ(AllLists, Progress.ListsRead());
    FileMap expected = v2.Complete();
    for (const char* name : {"LOOKUP\\LOOKUP1.TBL", "LOOKUP\\LOOKUP2.TBL", "LOOKUP\\LOOKUP3.TBL"})
        expected[name] = v1.Installed.at(name);
    ExpectTree(expected, Target());

    // A read-only program file: disk 1's list stops there and with it the run.
    ASSERT_TRUE(::SetFileAttributesA(Join(Target(), "TSW.EXE").c_str(), FILE_ATTRIBUTE_READONLY));
    Boxes.Clear();
    Progress.Clear();
    Floppy.Eject();
    Boxes.Expect(NewDiskTitle, IDOK, Insert(v1.Disk1));
    Boxes.Expect("Installation Error", IDCANCEL);
    EXPECT_FALSE(Window->InstallComponents());
    EXPECT_EQ(Lines({PromptDisk1, "Installation Error|File Creation Error TSW.EXE"}), Transcript());
    ExpectTree(expected, Target());
}

// ---------------------------------------------------------------------------
// Damaged compressed files

TEST_F(FaultInjection, CompressedFileCutShortStopsItsListAndKeepsTheRest)
{
    DiskSet v1 = MakeDiskSet(Folder("v1"), 1, StandardFiles);
    DiskSet v2 = MakeDiskSet(Folder("v2"), 2, StandardFiles);
    InstallEarlier(v1);
    if (HasFatalFailure()) return;

    // A lookup table cut in its middle: the lookup list stops there, the run
    // goes on.
    const std::string cut = v2.CompressedPath("LOOKUP\\LOOKUP2.TBL", 2);
    const std::string image = ReadBytes(cut);
    ASSERT_TRUE(WriteFileBytes(cut, image.substr(0, image.size() / 2)));
    AnswerPromptsWith(v2);
    Boxes.Expect("Installation Error", IDCANCEL);
    EXPECT_TRUE(Window->InstallComponents());
    EXPECT_EQ(Lines({PromptDisk1, PromptDisk2, "Installation Error|File Read Error LOOKUP2.TB_"}), Transcript());
    EXPECT_EQ(AllLists, Progress.ListsRead());

    // The cut file's earlier copy stays whole.
    FileMap expected = v2.Complete();
    for (const char* path : {"LOOKUP\\LOOKUP2.TBL", "LOOKUP\\LOOKUP3.TBL"}) expected[path] = v1.Installed.at(path);
    ExpectTree(expected, Target());

    // The second file of disk 1 cut: the run ends after disk 1.
    Boxes.Clear();
    Progress.Clear();
    Floppy.Eject();
    const std::string help = v1.CompressedPath("TSW.HLP", 1);
    const std::string helpImage = ReadBytes(help);
    ASSERT_TRUE(WriteFileBytes(help, helpImage.substr(0, helpImage.size() - 100)));
    const FileMap beforeSecond = TakeInstalled(Target());
    Boxes.Expect(NewDiskTitle, IDOK, Insert(v1.Disk1));
    Boxes.Expect("Installation Error", IDCANCEL);
    EXPECT_FALSE(Window->InstallComponents());
    EXPECT_EQ(Lines({PromptDisk1, "Installation Error|File Read Error TSW.HL_"}), Transcript());
    EXPECT_EQ(Lines({"disk_1.lst"}), Progress.ListsRead());
    FileMap afterSecond = beforeSecond;
    afterSecond["TSW.EXE"] = v1.Installed.at("TSW.EXE");
    ExpectTree(afterSecond, Target());
}

namespace {
// ExpandListFile of one list straight into a folder holding an earlier copy
// of every file.
class DamagedFile : public FaultInjection {
protected:
    void SetUp() override
    {
        FaultInjection::SetUp();
        if (HasFatalFailure()) return;
        Source = Folder("source");
        Dest = Folder("dest");
        for (const char* name : {"A.TXT", "BIG.DAT", "Z.TXT"}) {
            ASSERT_TRUE(WriteFileBytes(Join(Dest, name), "earlier " + std::string(name) + "\r\n" + SampleBytes(900, 5)));
            ASSERT_TRUE(WriteCompressed(Source, name, "newer " + std::string(name) + "\r\n" + SampleBytes(1700, 6)));
        }
        ASSERT_TRUE(WriteFileBytes(Join(Source, "disk_1.lst"), ListText({"3", "A.TXT", "BIG.DAT", "Z.TXT"})));
        Earlier = TakeTree(Dest);
        Newer = "newer BIG.DAT\r\n" + SampleBytes(1700, 6);
    }

    bool Expand()
    {
        LastResult = 12345;
        return Window->ExpandListFile("disk_1.lst", Dest.c_str(), Source.c_str(), "Installing Tessaryn Program",
                                      LastResult);
    }

    // Expands the list with BIG.DA_ replaced by `image`; expects one report.
    void ExpectFailure(const std::string& image, const std::string& report, LONG result)
    {
        ASSERT_TRUE(WriteFileBytes(Join(Source, "BIG.DA_"), image));
        ASSERT_TRUE(WriteFileBytes(Join(Dest, "A.TXT"), Earlier.at("A.TXT")));
        Boxes.Clear();
        Boxes.Expect("Installation Error", IDCANCEL);
        EXPECT_FALSE(Expand());
        EXPECT_EQ(Lines({"Installation Error|" + report}), Transcript());
        EXPECT_EQ(result, LastResult);
    }

    // A.TXT was expanded, the list stopped at BIG.DAT.
    void ExpectStoppedAtBig(bool bigKept)
    {
        FileMap actual = TakeTree(Dest);
        EXPECT_TRUE(actual["A.TXT"] == "newer A.TXT\r\n" + SampleBytes(1700, 6)) << "A.TXT before the failure";
        EXPECT_TRUE(actual["Z.TXT"] == Earlier.at("Z.TXT")) << "Z.TXT after the failure was touched";
        if (bigKept) {
            EXPECT_TRUE(actual["BIG.DAT"] == Earlier.at("BIG.DAT")) << "the installed BIG.DAT was lost";
        }
        EXPECT_EQ(3u, actual.size()) << "a scratch file was left";
    }

    // An installation for the update to go over, and an update folder
    // holding the newer A.TXT, BIG.DAT and Z.TXT and their list.
    void PrepareUpdate(const std::string& installation = std::string())
    {
        Installation = installation.empty() ? Folder("I") : installation;
        ASSERT_TRUE(MakeDirectories(Installation));
        UpdateSource = Folder("U");
        ASSERT_LE(Installation.size(), 79u) << "the update dialog takes 79 characters";
        for (const char* name : {"TSW.EXE", "A.TXT", "BIG.DAT", "Z.TXT"})
            ASSERT_TRUE(WriteFileBytes(Join(Installation, name), "earlier " + std::string(name)));
        for (const char* name : {"A.TXT", "BIG.DAT", "Z.TXT"}) ASSERT_TRUE(WriteCompressed(UpdateSource, name, Newer));
        ASSERT_TRUE(WriteFileBytes(Join(UpdateSource, "disk_1.lst"), ListText({"3", "A.TXT", "BIG.DAT", "Z.TXT"})));
        BeforeUpdate = TakeTree(Installation);
    }

    // Runs the update from the update folder: one report ("title|text"), no
    // expansion begun, the installation as it was.
    void ExpectUpdateRefused(const std::string& report, std::function<void(HWND)> atReport = nullptr)
    {
        RunUpdate(report, IDOK, atReport);
        // The dialog's first static line stands as its text.
        EXPECT_EQ(Lines({"Maintenance Update|Update Tessaryn Program", report}), Transcript());
        EXPECT_TRUE(Progress.Frames().empty()) << "the expansion began";
        ExpectTree(BeforeUpdate, Installation);
    }

    // Runs the update from the update folder into the installation, with one
    // report ("title|text") answered with `button` (the completion question
    // with No): a box the test does not expect fails it.
    void RunUpdate(const std::string& report, int button = IDOK, std::function<void(HWND)> atReport = nullptr)
    {
        Boxes.Clear();
        Progress.Clear();
        Boxes.Expect("Maintenance Update", IDOK, [&](HWND dialog) {
            ::SetDlgItemTextA(dialog, 121, Installation.c_str());
            ::SetDlgItemTextA(dialog, 122, UpdateSource.c_str());
        });
        const std::string title = report.substr(0, report.find('|'));
        const bool complete = title == "Maintenance Update Complete";
        Boxes.Expect(title, complete ? IDNO : button, [this, complete, atReport](HWND box) {
            // The question holds nothing: the folder is free while it is up.
            EXPECT_FALSE(complete && FileExists(Join(Installation, "~TSWMOVE.TMP"))) << "the folder still claimed";
            if (atReport) atReport(box);
        });
        Window->MaintenanceUpdate();
    }

    // A disk's CHECKSUM.LST naming each file's compressed form with what it expands to.
    static std::string ChecksumText(const FileMap& files)
    {
        std::string text;
        char line[80];
        for (const auto& f : files)
            text.append(line, std::snprintf(line, sizeof line, "%08X %u %s\r\n", Crc32(0, f.second.data(), f.second.size()),
                                            unsigned(f.second.size()), CompressedFileName(f.first).c_str()));
        return text;
    }

    std::string Source;
    std::string Dest;
    FileMap Earlier;
    std::string Newer;
    LONG LastResult = 0;
    std::string Installation;
    std::string UpdateSource;
    FileMap BeforeUpdate;
};
}

TEST_F(DamagedFile, HeaderNamingAnotherMethodIsIncorrectFormatAndKeepsTheInstalledCopy)
{
    // Wine's LZOpenFileA opens such a file as an uncompressed one, and
    // CopyLZFile then writes nothing and returns 0: the destination, already
    // created, would be left empty.
    for (char method : {'B', '\0', 'a', 'Q'}) {
        SCOPED_TRACE(std::string("method byte ") + std::to_string(static_cast<unsigned char>(method)));
        std::string image = Compress(Newer);
        image[8] = method;
        ExpectFailure(image, "Incorrect File Format BIG.DA_", LZERROR_UNKNOWNALG);
        ExpectStoppedAtBig(true);
    }
}

TEST_F(DamagedFile, HeaderCutShortIsReadErrorAndKeepsTheInstalledCopy)
{
    // Wine's LZOpenFileA opens a file with the magic but less than the
    // 14-byte header as an uncompressed one, and CopyLZFile copies those few
    // bytes as if they were the file.
    // The compressor never writes a file that stops inside the magic, an
    // empty one included, which the platform would copy as it stands.
    const std::string image = Compress(Newer);
    for (std::size_t length : {0u, 1u, 4u, 7u, 8u, 9u, 12u, 13u}) {
        SCOPED_TRACE("header of " + std::to_string(length) + " bytes");
        ExpectFailure(image.substr(0, length), "File Read Error BIG.DA_", LZERROR_READ);
        ExpectStoppedAtBig(true);
    }
}

TEST_F(DamagedFile, CutBeforeAnyDataIsReadErrorAndTheListStops)
{
    // The whole header and nothing after it: the platform opens it as a
    // compressed file that declares its length, and expands nothing. Cut
    // further on, it expands part of the file: that part never replaces
    // the installed copy.
    const std::string image = Compress(Newer);
    for (std::size_t length : {std::size_t(14), std::size_t(15), image.size() / 2, image.size() - 1}) {
        SCOPED_TRACE("file of " + std::to_string(length) + " bytes");
        ExpectFailure(image.substr(0, length), "File Read Error BIG.DA_", LZERROR_READ);
        ExpectStoppedAtBig(true);
    }
}

TEST_F(DamagedFile, WithoutTheMagicIsCopiedAsItStands)
{
    // What does not start with the magic is no compressed file to the
    // platform: it is copied as it stands, as any uncompressed file is.
    const std::string image = Compress(Newer);
    for (const std::string& plain : {std::string("SZDX"), std::string("SZDX") + image.substr(4)}) {
        SCOPED_TRACE(std::to_string(plain.size()) + " bytes");
        ASSERT_TRUE(WriteFileBytes(Join(Source, "BIG.DA_"), plain));
        Boxes.Clear();
        EXPECT_TRUE(Expand());
        EXPECT_TRUE(Transcript().empty());
        EXPECT_TRUE(ReadBytes(Join(Dest, "BIG.DAT")) == plain);
    }
}

// Where the disk says what each file expands to (CHECKSUM.LST), one that
// expands to other bytes of the right length is a read error, with Retry; a
// checksum list that cannot be read or taken whole writes nothing. Without it
// a changed byte goes unseen, as the format carries no checksum of its own.
// A file already installed whole stays, its compressed file unread (damaged,
// held), also in use, and takes its date; one with a changed byte is expanded
// again, and without the list every file is. The run counts what it read.
TEST_F(DamagedFile, ChangedByteIsReadErrorWhereTheDiskSaysWhatItExpandsTo)
{
    std::string changed = Compress(Newer), damaged = Newer;
    changed[20] ^= 1;  // a literal, the sixth byte: the length stays right
    damaged[5] ^= 1;
    const std::string a0 = Earlier.at("A.TXT"), b0 = Earlier.at("BIG.DAT"), z0 = Earlier.at("Z.TXT");
    // A.TXT spans two whole pieces of the expansion loop and part of a third.
    const std::string a1 = "newer A.TXT\r\n" + SampleBytes(70000, 6), z1 = "newer Z.TXT\r\n" + SampleBytes(1700, 6);
    ASSERT_TRUE(WriteCompressed(Source, "A.TXT", a1));
    const std::string named = ChecksumText({{"A.TXT", a1}, {"BIG.DAT", Newer}, {"Z.TXT", z1}});
    char big[80];  // the right CRC-32 with a size one more
    std::snprintf(big, sizeof big, "%08X %u BIG.DA_\r\n", Crc32(0, Newer.data(), Newer.size()), unsigned(Newer.size() + 1));
    const std::string wrongSize = ChecksumText({{"A.TXT", a1}, {"Z.TXT", z1}}) + big;
    enum class Held { Nothing, Compressed, Installed };
    const struct {
        std::string Checksums;  // empty: none; "/": a folder of that name
        int Button;
        std::string Report;
        Lines After;  // A.TXT, BIG.DAT, Z.TXT
        bool Whole = false;  // BIG.DA_ undamaged
        std::string BigBefore = "";  // the installed BIG.DAT (empty: the earlier one)
        Held Holder = Held::Nothing;  // BIG.DA_ held without sharing, or BIG.DAT for reading
        bool BigLeft = false;
    } cases[] = {
        {"", IDOK, "", {a1, damaged, z1}},
        {named, IDCANCEL, "File Read Error BIG.DA_", {a1, b0, z0}},
        {named, IDRETRY, "File Read Error BIG.DA_", {a1, Newer, z1}},
        {named + "0123ABCG 17 X.DA_\r\n", IDOK, "File Read Error CHECKSUM.LST", {a0, b0, z0}},
        {"/", IDOK, "File Read Error CHECKSUM.LST", {a0, b0, z0}},
        {wrongSize, IDCANCEL, "File Read Error BIG.DA_", {a1, b0, z0}, true},
        {named, IDOK, "", {a1, Newer, z1}, false, Newer, Held::Compressed, true},
        {named, IDOK, "", {a1, Newer, z1}, true, Newer, Held::Installed, true},
        {named, IDOK, "", {a1, Newer, z1}, true, damaged},
        {"", IDOK, "", {a1, damaged, z1}, false, Newer},
    };
    const std::string list = Join(Source, "CHECKSUM.LST");
    const FILETIME released = {0xB9192000, 0x01BB3755};  // 1996-05-01 12:00
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Checksums + " " + c.Report);
        const std::string bigSource = Join(Source, "BIG.DA_"), bigInstalled = Join(Dest, "BIG.DAT");
        ASSERT_TRUE(WriteFileBytes(bigSource, c.Whole ? Compress(Newer) : changed));
        TFile dated(::CreateFileA(bigSource.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(::SetFileTime(dated.Get(), nullptr, nullptr, &released));
        dated.Reset();
        for (const auto& file : Earlier) ASSERT_TRUE(WriteFileBytes(Join(Dest, file.first), file.second));
        ASSERT_TRUE(c.BigBefore.empty() || WriteFileBytes(bigInstalled, c.BigBefore));
        ::RemoveDirectoryA(list.c_str());
        ::DeleteFileA(list.c_str());
        ASSERT_TRUE(c.Checksums == "/" ? ::CreateDirectoryA(list.c_str(), nullptr) != 0
                                       : c.Checksums.empty() || WriteFileBytes(list, c.Checksums));
        Boxes.Clear();
        if (!c.Report.empty())
            Boxes.Expect("Installation Error", c.Button,
                         [&](HWND) { EXPECT_TRUE(WriteFileBytes(Join(Source, "BIG.DA_"), Compress(Newer))); });
        const bool compressed = c.Holder == Held::Compressed;
        TFile holder(c.Holder == Held::Nothing ? INVALID_HANDLE_VALUE
                                               : ::CreateFileA((compressed ? bigSource : bigInstalled).c_str(),
                                                               GENERIC_READ, compressed ? 0 : FILE_SHARE_READ, nullptr,
                                                               OPEN_EXISTING, 0, nullptr));
        std::size_t read = ReadBytes(Join(Source, "disk_1.lst")).size() + ReadBytes(list).size();
        for (const char* name : {"A.TX_", "BIG.DA_", "Z.TX_"})
            if (!c.BigLeft || std::strcmp(name, "BIG.DA_") != 0) read += ReadBytes(Join(Source, name)).size();
        RunSourceReads() = SourceReads();
        EXPECT_EQ(c.Report.empty() || c.Button == IDRETRY, Expand());
        holder.Reset();
        EXPECT_EQ(c.Report.empty() ? Lines() : Lines({"Installation Error|" + c.Report}), Transcript());
        ExpectTree({{"A.TXT", c.After[0]}, {"BIG.DAT", c.After[1]}, {"Z.TXT", c.After[2]}}, Dest);
        if (!c.Report.empty()) continue;
        EXPECT_EQ(read, RunSourceReads().Bytes);
        EXPECT_EQ(c.BigLeft ? 1u : 0u, RunSourceReads().FilesLeft);
        // A file in use keeps its date.
        EXPECT_TRUE(c.Holder == Held::Installed || LastWriteSeconds(bigSource) == LastWriteSeconds(bigInstalled));
    }
}

// ---------------------------------------------------------------------------
// List files of binary garbage

TEST_F(DamagedFile, ListOfBinaryGarbageIsReadErrorAndWritesNothing)
{
    std::string oneLine = SampleBytes(4096, 12);
    for (char& c : oneLine)
        if (c == '\0' || c == '\r' || c == '\n' || c == '\x1A') c = '#';
    const std::string utf16("\xFF\xFE" "3\0\r\0\n\0A\0.\0T\0X\0T\0\r\0\n\0", 22);
    const std::vector<std::pair<std::string, std::string>> lists = {
        {"random bytes", SampleBytes(4096, 11)},
        {"random bytes, no NUL, no line break", oneLine},
        {"NUL bytes only", std::string(512, '\0')},
        {"a count, then NUL bytes", "3\r\n" + std::string(200, '\0')},
        {"a count, then random bytes", "3\r\nA.TXT\r\n" + SampleBytes(2000, 13)},
        {"NUL inside an entry", std::string("3\r\nA.TXT\r\nBIG\0.DAT\r\nZ.TXT\r\n", 25)},
        {"a count of 2^31 - 1", "2147483647\r\nA.TXT\r\n"},
        {"a count of 2^32 + 1", "4294967297\r\nA.TXT\r\n"},
        {"a count of -2^31", "-2147483648\r\nA.TXT\r\n"},
        {"a count of 20 digits", "99999999999999999999\r\nA.TXT\r\nBIG.DAT\r\nZ.TXT\r\n"},
        {"UTF-16 text", utf16},
        {"Ctrl-Z before the entries", "3\r\n\x1A" "A.TXT\r\nBIG.DAT\r\nZ.TXT\r\n"},
        {"no line break after the count", "3 A.TXT BIG.DAT Z.TXT"},
        {"two megabytes of digits", std::string(2 << 20, '1')},
    };
    for (const auto& list : lists) {
        SCOPED_TRACE(list.first);
        ASSERT_TRUE(WriteFileBytes(Join(Source, "disk_1.lst"), list.second));
        Boxes.Clear();
        bool progressUnderBox = true;
        Boxes.Expect("Installation Error", IDOK, [&](HWND) { progressUnderBox = FindProgressWindow() != nullptr; });
        EXPECT_FALSE(Expand());
        EXPECT_EQ(Lines({"Installation Error|File Read Error disk_1.lst"}), Transcript());
        EXPECT_FALSE(progressUnderBox) << "the progress window was still up under the list-reading message";
        EXPECT_EQ(0, LastResult);
        EXPECT_EQ("", Window->ProgramFile[0]);
        ExpectTree(Earlier, Dest);
    }
}

TEST_F(DamagedFile, UpdateListOfGarbageWritesNothing)
{
    // The maintenance update reads its list itself before it expands: garbage
    // is refused there, under the title its failure table gives.
    PrepareUpdate();
    if (HasFatalFailure()) return;
    ASSERT_TRUE(WriteCompressed(Scratch, "OUTSIDE.DAT", "outside"));
    const std::vector<std::pair<std::string, std::string>> lists = {
        {"Installation Error", SampleBytes(4096, 11)},
        {"Installation Error", std::string(300, '\0')},
        {"Update Error", "3\r\nA.TXT\r\n" + SampleBytes(2000, 13)},
        {"Installation Error", "4294967297\r\nA.TXT\r\n"},
        // Names that would leave the installed directory or open a device.
        {"Update Error", "2\r\nA.TXT\r\n..\\OUTSIDE.DAT\r\n"},
        {"Update Error", "2\r\nA.TXT\r\nCOM1\r\n"},
        // A list that is there but cannot be read whole is no missing list.
        {"Update Error", "1\r\nA.TXT\r\n" + std::string(1 << 20, ' ')},
    };
    for (const auto& list : lists) {
        SCOPED_TRACE(list.first + ", " + std::to_string(list.second.size()) + " bytes");
        ASSERT_TRUE(WriteFileBytes(Join(UpdateSource, "disk_1.lst"), list.second));
        ExpectUpdateRefused(list.first + "|File Read Error disk_1.lst");
        EXPECT_FALSE(FileExists(Join(Scratch, "OUTSIDE.DAT")));
    }
    // A list of no files completes, nothing written (RunUpdate: the folder free at the question).
    ASSERT_TRUE(WriteFileBytes(Join(UpdateSource, "disk_1.lst"), "0\r\nA.TXT\r\n"));
    RunUpdate("Maintenance Update Complete|Exit Installation Program");
    ExpectTree(BeforeUpdate, Installation);
}

// An update is all or nothing. Whatever stops it (a disk too full for the
// new files, a compressed file cut in its data, an installed file taken into
// use while it expands, so that it cannot move aside for its new version,
// also by a program that lets others rename it), Cancel leaves every
// installed file as it was, byte for byte, no scratch file of the update,
// and no completion question; a power cut at any step of that clean-up
// leaves what the next run turns back into the same. Retry, once the cause
// is mended, goes on where the update stopped (no file has its name yet;
// names refused at the end are tried again from the whole files, the update's
// source no longer needed), and every file takes its name.
TEST_F(DamagedFile, StoppedUpdateKeepsFilesWhole)
{
    const std::string full = testenv::FullDiskFolder();
    const std::string why = testenv::FullDiskUnavailable();
    RemoveOnExit emptyTheDisk(Join(full, "I"));
    const std::string cut = Compress(Newer).substr(0, Compress(Newer).size() / 2);
    const DWORD readers = FILE_SHARE_READ, everyone = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
    std::string changed = Compress(Newer);
    changed[20] ^= 1;  // the length stays right: only the update's checksum list tells
    const struct {
        std::string Installation;  // empty: a folder of the test's
        std::string Image;         // BIG.DA_
        DWORD BigHolderShares;     // BIG.DAT taken into use while Z.TXT, the last, is expanded (0: not)
        std::string Report;
        int Button;
    } cases[] = {
        {Join(full, "I"), Compress(SampleBytes(100000, 7)), 0, "Installation Error|" + testenv::FullDiskReport("BIG.DAT"),
         IDCANCEL},
        {"", cut, 0, "Installation Error|File Read Error BIG.DA_", IDCANCEL},
        {"", Compress(Newer), readers, "Installation Error|File Creation Error BIG.DAT", IDCANCEL},
        {"", cut, 0, "Installation Error|File Read Error BIG.DA_", IDRETRY},
        {"", Compress(Newer), readers, "Installation Error|File Creation Error BIG.DAT", IDRETRY},
        {"", Compress(Newer), everyone, "Installation Error|File Creation Error BIG.DAT", IDRETRY},
        {"", changed, 0, "Installation Error|File Read Error BIG.DA_", IDCANCEL},
        {"", changed, 0, "Installation Error|File Read Error BIG.DA_", IDRETRY},
    };
    bool ranAgain = false;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Report + (c.Button == IDRETRY ? ", Retry" : ", Cancel"));
        if (!c.Installation.empty() && !why.empty()) continue;  // no size-limited disk here: the full-disk test skips
        PrepareUpdate(c.Installation);
        if (HasFatalFailure()) return;
        ASSERT_TRUE(WriteFileBytes(Join(UpdateSource, "BIG.DA_"), c.Image));
        ASSERT_TRUE(WriteFileBytes(Join(UpdateSource, "CHECKSUM.LST"),
                                   ChecksumText({{"A.TXT", Newer}, {"BIG.DAT", Newer}, {"Z.TXT", Newer}})));
        TFile holder;
        ProgressTrigger takeIntoUse("Expanding Z.TX_ . . .", [&] {
            if (c.BigHolderShares)
                holder.Reset(::CreateFileA(Join(Installation, "BIG.DAT").c_str(), GENERIC_READ, c.BigHolderShares,
                                           nullptr, OPEN_EXISTING, 0, nullptr));
        });
        const bool retry = c.Button == IDRETRY;
        // What a cut before each removal after the report would leave.
        std::vector<FileMap> cuts;
        std::atomic<bool> reported(false);
        {
            StepWatch clean([&](const StepWatch::Step& step) {
                if (reported && step.Kind == FileStep::Delete && IsScratchPath(step.Path))
                    cuts.push_back(TakeTree(Installation));
                return true;
            });
            RunUpdate(c.Report, c.Button, [&](HWND) {
                reported = true;
                if (!retry) return;
                holder.Reset();
                if (c.BigHolderShares) {
                    for (const char* name : {"A.TX_", "BIG.DA_", "Z.TX_"})
                        ::DeleteFileA(Join(UpdateSource, name).c_str());
                } else {
                    EXPECT_TRUE(WriteFileBytes(Join(UpdateSource, "BIG.DA_"), Compress(Newer)));
                }
                Boxes.Expect("Maintenance Update Complete", IDNO);
            });
        }
        Lines boxes = {"Maintenance Update|Update Tessaryn Program", c.Report};
        if (retry) boxes.push_back("Maintenance Update Complete|Exit Installation Program");
        EXPECT_EQ(boxes, Transcript());
        holder.Reset();
        const FileMap updated = {{"TSW.EXE", "earlier TSW.EXE"}, {"A.TXT", Newer}, {"BIG.DAT", Newer}, {"Z.TXT", Newer}};
        ExpectTree(retry ? updated : BeforeUpdate, Installation);
        if (retry && !std::exchange(ranAgain, true)) {
            // The same update again, BIG.DAT in use: every file whole, nothing moves, no scratch file.
            StepWatch again;
            TFile inUse(::CreateFileA(Join(Installation, "BIG.DAT").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                      OPEN_EXISTING, 0, nullptr));
            RunUpdate("Maintenance Update Complete|Exit Installation Program");
            inUse.Reset();
            EXPECT_EQ(2u, Transcript().size()) << "the dialog and the completion question";
            for (const StepWatch::Step& step : again.Steps)
                EXPECT_TRUE(step.Kind != FileStep::Move && !IsScratchPath(step.Path)) << step.Path;
            ExpectTree(updated, Installation);
        }
        if (retry) continue;
        EXPECT_FALSE(cuts.empty());
        for (const FileMap& left : cuts) {
            const std::string after = Folder("aftercut");
            ASSERT_TRUE(RemoveTree(after) && MakeDirectories(after) && WriteTree(after, left));
            EXPECT_TRUE(Window->FinishInterruptedUpdate(after.c_str(), MsgUpdateError));
            ExpectTree(BeforeUpdate, after);
        }
    }
}

// Windows 95 has no replacing move: the installed file moves aside first.
// When the new file then cannot take the name, the earlier one moves back.
TEST_F(DamagedFile, NewFileThatCannotTakeTheNameGivesItBack)
{
    const ReplacementPaths paths = {Join(Dest, "~TSW0000.TMP"), Join(Dest, "~TSW0001.TMP"), Join(Dest, "A.TXT")};
    ASSERT_TRUE(WriteFileBytes(paths.Fresh, Newer) && WriteFileBytes(paths.Aside, ""));
    TFile holder(::CreateFileA(paths.Fresh.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    bool hadFile = false;
    EXPECT_EQ(PlaceResult::Refused, PutInPlace(paths, hadFile));
    holder.Reset();
    FileMap expected = Earlier;
    expected["~TSW0000.TMP"] = Newer;
    ExpectTree(expected, Dest);
    // Every number taken is said as such, not as a disk that refuses files.
    int next = kScratchNames - 1;
    std::string path;
    TFile file;
    ASSERT_TRUE(WriteFileBytes(Join(Dest, "~TSW9999.TMP"), ""));
    EXPECT_EQ(kNoScratchName, CreateScratchFile(Dest + "\\", next, path, file));
}

// Both systems cache writes: what a power cut leaves is what was flushed.
// Each new file is flushed before it takes its name, and each name before
// the earlier file it replaces goes, in an installation and in an update. An
// update's record has its header flushed, each line before its file's
// scratch files are made, and every new file flushed before the mark, which
// is flushed before the first rename; the record reads right at every step
// (a line the disk took only part of is taken back, here before the
// person's Retry). A file left between its two names is reported with all
// three, and the next update finishes it.
TEST_F(DamagedFile, FilesReachTheDiskBeforeTheyTakeTheirNames)
{
    using Steps = std::vector<StepWatch::Step>;
    auto flushedBetween = [](const Steps& steps, std::size_t begin, std::size_t end, const std::string& path) {
        for (std::size_t i = begin; i < end; ++i)
            if (steps[i].Kind == FileStep::Flush && strcasecmp(steps[i].Path.c_str(), path.c_str()) == 0) return true;
        return false;
    };
    auto expectFlushedInOrder = [&](const Steps& steps) {
        for (std::size_t i = 0; i < steps.size(); ++i) {
            const StepWatch::Step& step = steps[i];
            EXPECT_TRUE(step.Kind != FileStep::Move || IsScratchPath(step.Other) || flushedBetween(steps, 0, i, step.Path))
                << step.Path << " took its name unflushed";
            for (std::size_t m = 0; step.Kind == FileStep::Delete && m < i; ++m)
                EXPECT_TRUE(steps[m].Kind != FileStep::Move || strcasecmp(steps[m].Other.c_str(), step.Path.c_str()) ||
                            flushedBetween(steps, m, i, steps[m].Path))
                    << step.Path << " went before " << steps[m].Path << "'s new name was on the disk";
        }
    };
    for (const bool described : {true, false}) {
        // The disk says what its files expand to: their lines reach the
        // installation's record with one flush, before the first file moves.
        // Else each file's line is on the disk before the file takes its
        // name; one the disk took only part of is taken back, and Retry
        // writes it again.
        SCOPED_TRACE(described ? "an installation of described files" : "an installation of undescribed files");
        const std::string a = "newer A.TXT\r\n" + SampleBytes(1700, 6), z = "newer Z.TXT\r\n" + SampleBytes(1700, 6);
        const std::string checksums = ChecksumText({{"A.TXT", a}, {"BIG.DAT", Newer}, {"Z.TXT", z}});
        ASSERT_TRUE(!described || WriteFileBytes(Join(Source, "CHECKSUM.LST"), checksums));
        ASSERT_TRUE(Window->Record.Open(Dest, false));
        const std::string record = Join(Dest, "TSW_INST.LOG");
        bool torn = false;
        StepWatch watch([&](const StepWatch::Step& step) {
            const bool tear = !described && !torn && step.Kind == FileStep::Write && step.Path == record &&
                              step.Other.rfind("FILE ", 0) == 0 && step.Other.find("Z.TXT") != std::string::npos;
            torn = torn || tear;
            return !tear;
        });
        Boxes.Clear();
        if (!described) Boxes.Expect("Installation Error", IDRETRY);
        EXPECT_TRUE(Expand());
        EXPECT_EQ(described ? Lines()
                            : Lines({"Installation Error|Insufficient Disk Space Z.TXT\n\nThe disk that takes this "
                                     "file is full. Make room on it (delete files you no longer need), then try again."}),
                  Transcript());
        expectFlushedInOrder(watch.Steps);
        std::string order;  // F: the record flushed, M: a file moved
        for (const StepWatch::Step& step : watch.Steps)
            if (step.Kind == FileStep::Move || (step.Kind == FileStep::Flush && step.Path == record))
                order += step.Kind == FileStep::Move ? 'M' : 'F';
        EXPECT_EQ(described ? "FMMMMMM" : "FMMFMMFMM", order);
        Window->Record.Close("end");
        ::DeleteFileA(Join(Source, "CHECKSUM.LST").c_str());
        const std::string text = ReadBytes(record);
        InstallRecordContents contents;
        EXPECT_TRUE(ReadInstallRecord(text.data(), text.size(), contents) && contents.Files.size() == 3) << text;
        ::DeleteFileA(record.c_str());
        EXPECT_EQ(3u, TakeTree(Dest).size()) << "an earlier file stayed";
    }
    PrepareUpdate();
    if (HasFatalFailure()) return;
    const std::string record = Join(Installation, "~TSWMOVE.TMP");
    // Another program may read the record of a run, never take or remove it.
    auto canTake = [&record] {
        const HANDLE file = ::CreateFileA(record.c_str(), GENERIC_WRITE,
                                          FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                          OPEN_EXISTING, 0, nullptr);
        if (file != INVALID_HANDLE_VALUE) ::CloseHandle(file);
        return file != INVALID_HANDLE_VALUE || ::DeleteFileA(record.c_str());
    };
    bool torn = false;
    std::vector<Replacement> recorded;
    RecordState atFirstRename = RecordState::Bad;
    StepWatch watch([&](const StepWatch::Step& step) {
        if (step.Kind == FileStep::Move && recorded.empty()) {
            const std::string text = ReadBytes(record);
            atFirstRename = ReadReplacementRecord(text.data(), text.size(), recorded);
            EXPECT_FALSE(canTake()) << "the run's claim was taken";
        }
        // A line is on the disk before the files it names are made.
        std::vector<Replacement> line;
        const std::string text = "TSW30 RENAMES\r\n" + step.Other;
        const bool isLine = step.Kind == FileStep::Write &&
                            ReadReplacementRecord(text.data(), text.size(), line) == RecordState::Expanding && line.size() == 1;
        EXPECT_FALSE(isLine && (FileExists(Join(Installation, line[0].Fresh)) || FileExists(Join(Installation, line[0].Aside))))
            << step.Other << " written after its files were made";
        // The disk takes half of Z.TXT's line.
        const bool tear = step.Kind == FileStep::Write && strcasecmp(step.Path.c_str(), record.c_str()) == 0 &&
                          step.Other.find("Z.TXT") != std::string::npos && !torn;
        torn = torn || tear;
        return !tear;
    });
    const std::string report = "Installation Error|" + testenv::FullDiskReport("Z.TXT");
    RunUpdate(report, IDRETRY, [&](HWND) { Boxes.Expect("Maintenance Update Complete", IDNO); });
    EXPECT_EQ(Lines({"Maintenance Update|Update Tessaryn Program", report,
                     "Maintenance Update Complete|Exit Installation Program"}),
              Transcript());
    EXPECT_EQ(RecordState::Renaming, atFirstRename);
    EXPECT_EQ(3u, recorded.size());
    const auto& steps = watch.Steps;
    auto header = std::find_if(steps.begin(), steps.end(), [](const StepWatch::Step& step) {
        return step.Kind == FileStep::Write && step.Other == "TSW30 RENAMES\r\n";
    });
    ASSERT_TRUE(header + 1 < steps.end() && header[1].Kind == FileStep::Flush && header[1].Path == header->Path)
        << "the record's header was not flushed";
    auto mark = std::find_if(steps.begin(), steps.end(), [](const StepWatch::Step& step) {
        return step.Kind == FileStep::Write && step.Other == "RENAME\r\n";
    });
    auto firstRename = std::find_if(steps.begin(), steps.end(), [](const StepWatch::Step& s) { return s.Kind == FileStep::Move; });
    ASSERT_TRUE(mark < firstRename) << "no mark before the renames";
    ASSERT_TRUE(mark + 1 < firstRename && mark[1].Kind == FileStep::Flush && mark[1].Path == mark->Path);
    for (const Replacement& file : recorded)
        EXPECT_TRUE(flushedBetween(steps, 0, static_cast<std::size_t>(mark - steps.begin()), Join(Installation, file.Fresh)))
            << file.Fresh << " was not on the disk before the mark";
    expectFlushedInOrder(steps);
    ExpectTree({{"TSW.EXE", "earlier TSW.EXE"}, {"A.TXT", Newer}, {"BIG.DAT", Newer}, {"Z.TXT", Newer}}, Installation);

    SCOPED_TRACE("stranded between its names");
    PrepareUpdate();
    ASSERT_TRUE(WriteCompressed(UpdateSource, "A.TXT", "newest A"));
    {
        StepWatch refuse([&](const StepWatch::Step& step) {
            return !(step.Kind == FileStep::Move && strcasecmp(step.Other.c_str(), Join(Installation, "A.TXT").c_str()) == 0);
        });
        RunUpdate("Installation Error|File Creation Error A.TXT: new ~TSW0000.TMP, old ~TSW0001.TMP");
    }
    EXPECT_EQ("Installation Error|File Creation Error A.TXT: new ~TSW0000.TMP, old ~TSW0001.TMP", Transcript().back());
    EXPECT_TRUE(FileExists(record));
    bool looked = false;
    StepWatch look([&](const StepWatch::Step& step) {
        // The first rename finishes the stranded file, the record held by the start's look.
        EXPECT_FALSE(step.Kind == FileStep::Move && !looked && canTake()) << "the record taken during the start's look";
        looked = looked || step.Kind == FileStep::Move;
        return true;
    });
    RunUpdate("Maintenance Update Complete|Exit Installation Program");
    EXPECT_TRUE(looked);
    ExpectTree({{"TSW.EXE", "earlier TSW.EXE"}, {"A.TXT", "newest A"}, {"BIG.DAT", Newer}, {"Z.TXT", Newer}},
               Installation);
}

// The installation's record names every folder and file the runs made, each
// file with the figures of what was installed, an update's files beside the
// earlier ones; a damaged record is started afresh with the lines that read
// right, and the run goes on.
TEST_F(DamagedFile, RecordNamesWhatTheRunsMade)
{
    const DiskSet set = MakeDiskSet(Folder("set"), 1, StandardFiles);
    // The removal program SETUP.EXE leaves beside the installer is installed last.
    FileMap files = set.Installed;
    files["TSWREMOV.EXE"] = "the removal program";
    const std::string own = ProgramDirectory;
    CopyBounded(ProgramDirectory, kProgramDirectorySize, Folder("installer").c_str());
    ASSERT_TRUE(WriteFileBytes(Join(ProgramDirectory, "TSWREMOV.EXE"), files["TSWREMOV.EXE"]));
    AnswerPromptsWith(set);
    const bool complete = Window->InstallComponents();
    CopyBounded(ProgramDirectory, kProgramDirectorySize, own.c_str());
    ASSERT_TRUE(complete && Window->RemovalInstalled);
    FileMap tree = set.Complete();
    tree["TSWREMOV.EXE"] = files["TSWREMOV.EXE"];
    ASSERT_EQ(Lines(), TreeDifferences(tree, TakeInstalled(Target())));
    // Whole, the folders in the order made, a line with the figures of each file installed.
    const std::string path = Join(Target(), "TSW_INST.LOG");
    auto expectRecord = [&](std::size_t lines) {
        const std::string text = ReadBytes(path);
        InstallRecordContents record;
        EXPECT_TRUE(ReadInstallRecord(text.data(), text.size(), record)) << text;
        EXPECT_EQ(Lines({".", "USER_DLL", "LOOKUP", "CCIR", "CRANE", "CANADA", "TSDATA"}),
                  Lines(record.Folders.begin(), record.Folders.end()));
        EXPECT_EQ(lines, record.Files.size());
        for (const auto& f : files) {
            const std::uint32_t size = static_cast<std::uint32_t>(f.second.size());
            EXPECT_NE(std::string::npos, text.find(RecordedFileLine({f.first, Crc32(0, f.second.data(), size), size})));
        }
    };
    expectRecord(files.size());

    Installation = Target();
    ASSERT_LE(Installation.size(), 79u) << "the update dialog takes 79 characters";
    UpdateSource = Folder("U");
    ASSERT_TRUE(WriteCompressed(UpdateSource, "TSW.EXE", "updated TSW.EXE"));
    ASSERT_TRUE(WriteFileBytes(Join(UpdateSource, "disk_1.lst"), ListText({"1", "TSW.EXE"})));
    Window->Record.Close("end: complete");
    // The logs of hundreds of earlier runs, past what an earlier installer
    // stopped at, and a line that does not read right among them.
    std::string runs;
    for (int run = 0; runs.size() < kInstallRecordReadMax - 100000; ++run) {
        runs += RecordedNote("Tessaryn 3.0 installation " + std::to_string(run) + ", from A:\\ into C:\\TSW30");
        for (int file = 0; file < 12; ++file) runs += RecordedNote("file A:\\LOOKUP\\TABLE.LU_ to C:\\TSW30\\LOOKUP");
        runs += RecordedNote("end: complete");
    }
    const std::string lastRun = runs.substr(runs.rfind("; Tessaryn 3.0 installation "), 40);
    ASSERT_TRUE(WriteFileBytes(path, ReadBytes(path) + runs + "FILE 0 0 ..\\AUTOEXEC.BAT\r\nFOLD"));
    RunUpdate("Maintenance Update Complete|Exit Installation Program");
    // Both versions of TSW.EXE named, nothing of the damage kept, and of
    // the notes the latest runs', the record short again.
    const std::size_t earlier = files.size();
    files["TSW.EXE"] = "updated TSW.EXE";
    expectRecord(earlier + 1);
    const std::string record = ReadBytes(path);
    EXPECT_LE(record.size(), kInstallRecordTrimAt);
    EXPECT_NE(std::string::npos, record.find(lastRun));
    EXPECT_EQ(std::string::npos, record.find("; Tessaryn 3.0 installation 0,"));
    for (const std::string& name : Names(Target())) EXPECT_EQ(std::string::npos, name.find('~')) << name;
}

// The record of an update that a power cut interrupted: the next update
// first finishes the renames it lists (every new file was whole), or removes
// the new files of an update cut before its renames; only files the record
// names are touched. A record without the mark as its last line after lines
// that read right never stops the run, however it was cut; one with the mark
// that cannot be acted on changes nothing, and its report says where it is.
// The live record of another run (held open there) is never acted on: its
// report says that another installation program works there. So does the
// installation's.
TEST_F(DamagedFile, UpdateFinishesTheOneAPowerCutInterrupted)
{
    const std::string lines = "TSW30 RENAMES\r\n~TSW0000.TMP ~TSW0001.TMP TSW.EXE\r\n"
                              "~TSW0002.TMP ~TSW0003.TMP A.TXT\r\n~TSW0004.TMP ~TSW0005.TMP Z.TXT\r\n";
    const std::string complete = "Maintenance Update Complete|Exit Installation Program";
    const FileMap made = {{"~TSW0000.TMP", "new TSW.EXE"}, {"~TSW0001.TMP", ""}, {"~TSW0002.TMP", "new A"},
                          {"~TSW0003.TMP", ""},            {"~TSW0004.TMP", "new Z"}, {"~TSW0005.TMP", ""}};
    // A.TXT took its name, TSW.EXE moved aside and its new version did not yet.
    FileMap renamesBegun = made;
    renamesBegun.erase("~TSW0002.TMP");
    renamesBegun["A.TXT"] = "new A";
    renamesBegun["~TSW0003.TMP"] = "earlier A.TXT";
    renamesBegun["~TSW0001.TMP"] = "earlier TSW.EXE";
    renamesBegun["TSW.EXE"] = "<none>";
    FileMap newLost = renamesBegun;  // TSW.EXE's new file is gone too
    newLost["~TSW0000.TMP"] = "<none>";
    FileMap folderAsNew = made;
    folderAsNew["~TSW0000.TMP"] = "<folder>";
    const struct {
        std::string Record;
        FileMap Left;  // what else the cut left there: files, "<none>" for no file, "<folder>" for a folder
        DWORD RecordAttributes;
        std::string Report;  // without its advice
        std::string TswAfter;
        bool Held = false;  // open in another run, without sharing
    } cases[] = {
        {lines + "RENAME\r\n", renamesBegun, 0, complete, "new TSW.EXE"},
        {lines + "RENAME\r\n", newLost, 0, complete, "earlier TSW.EXE"},
        {lines + "RENA", made, 0, complete, "earlier TSW.EXE"},  // cut as the mark was written
        {lines + std::string(64, '\0'), made, 0, complete, "earlier TSW.EXE"},
        {"", {}, 0, complete, "earlier TSW.EXE"},
        {"TSW30 REN", {}, 0, complete, "earlier TSW.EXE"},
        {lines, {}, FILE_ATTRIBUTE_READONLY, "Update Error|File Creation Error ~TSWMOVE.TMP", ""},
        {lines + "RENAME\r\n", folderAsNew, 0, "Update Error|File Read Error ~TSWMOVE.TMP", ""},
        {lines + "~TSW0006.TMP ~TSW0007.TMP ..\\OUTSIDE.DAT\r\nRENAME\r\n", made, 0, complete, "earlier TSW.EXE"},
        {lines + "RENAME\r\n", renamesBegun, 0, "Update Error|File Read Error ~TSWMOVE.TMP", "", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Report + ": " + c.Record.substr(0, 20));
        PrepareUpdate();
        if (HasFatalFailure()) return;
        const std::string record = Join(Installation, "~TSWMOVE.TMP");
        for (const auto& file : c.Left) {
            const std::string path = Join(Installation, file.first);
            if (file.second == "<folder>") ASSERT_TRUE(::CreateDirectoryA(path.c_str(), nullptr));
            else if (file.second == "<none>") ::DeleteFileA(path.c_str());
            else ASSERT_TRUE(WriteFileBytes(path, file.second));
        }
        ASSERT_TRUE(WriteFileBytes(Join(Installation, "~TSW0009.TMP"), "a person's own"));
        ASSERT_TRUE(WriteFileBytes(record, c.Record));
        ASSERT_TRUE(::SetFileAttributesA(record.c_str(), c.RecordAttributes | FILE_ATTRIBUTE_ARCHIVE));
        TFile holder(c.Held ? ::CreateFileA(record.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr)
                            : INVALID_HANDLE_VALUE);
        ASSERT_EQ(c.Held, holder.IsValid());
        const int button = c.Held ? IDCANCEL : IDOK;
        BeforeUpdate = TakeTree(Installation);
        RunUpdate(c.Report, button);
        const Lines seen = Transcript();
        ASSERT_EQ(2u, seen.size());
        EXPECT_EQ(c.Report, WithoutAdvice(seen[1]));
        if (c.Report != complete) {
            // Where it is, and what to do.
            std::string text = seen[1], path = record;
            for (std::string* each : {&text, &path})
                std::transform(each->begin(), each->end(), each->begin(), [](unsigned char ch) { return std::toupper(ch); });
            EXPECT_NE(std::string::npos, text.find("\n\n" + path + " IS ")) << seen[1];
            EXPECT_NE(std::string::npos, text.find(c.Held               ? "ANOTHER INSTALLATION PROGRAM"
                                                   : c.RecordAttributes ? "MAY BE DELETED"
                                                                        : "THEN DELETE THE RECORD"));
            EXPECT_TRUE(Progress.Frames().empty()) << "the expansion began";
            ExpectTree(BeforeUpdate, Installation);
            // The installation into that folder reads the record first, too.
            CopyBounded(Settings.TargetDirectory, kPathSize, Installation.c_str());
            Boxes.Clear();
            Boxes.Expect("Installation Error", button);
            EXPECT_FALSE(Window->InstallComponents());
            ASSERT_EQ(1u, Transcript().size());
            EXPECT_EQ("Installation Error|" + c.Report.substr(13), WithoutAdvice(Transcript()[0]));
            for (const auto& file : BeforeUpdate) EXPECT_EQ(file.second, TakeTree(Installation)[file.first]);
            holder.Reset();
            ::SetFileAttributesA(record.c_str(), FILE_ATTRIBUTE_NORMAL);
            ASSERT_TRUE(RemoveTree(Installation));
            continue;
        }
        FileMap expected = {{"TSW.EXE", c.TswAfter}, {"A.TXT", Newer}, {"BIG.DAT", Newer}, {"Z.TXT", Newer},
                            {"~TSW0009.TMP", "a person's own"}};
        ExpectTree(expected, Installation);
    }
}

// Before anything is written, the update opens each compressed file as the
// expander will and checks its header: one the expander would stop at gives
// the expander's message for it, and the installation stays as it was.
TEST_F(DamagedFile, UpdateRefusesAFileTheExpanderWouldStopAt)
{
    PrepareUpdate();
    if (HasFatalFailure()) return;
    const std::string big = Join(UpdateSource, "BIG.DA_");
    std::string otherMethod = Compress(Newer);
    otherMethod[8] = 'B';
    const std::vector<std::pair<std::string, std::string>> images = {
        {otherMethod, "Incorrect File Format BIG.DA_"},
        {Compress(Newer).substr(0, 12), "File Read Error BIG.DA_"},
        {"", "File Read Error BIG.DA_"},
    };
    for (const auto& image : images) {
        SCOPED_TRACE(image.second);
        ASSERT_TRUE(WriteFileBytes(big, image.first));
        ExpectUpdateRefused("Update Error|" + image.second);
    }
    SCOPED_TRACE("a checksum list that does not name every file");
    ASSERT_TRUE(WriteFileBytes(big, Compress(Newer)));
    ASSERT_TRUE(WriteFileBytes(Join(UpdateSource, "CHECKSUM.LST"), ChecksumText({{"A.TXT", Newer}})));
    ExpectUpdateRefused("Update Error|File Read Error CHECKSUM.LST");
    ASSERT_TRUE(::DeleteFileA(Join(UpdateSource, "CHECKSUM.LST").c_str()));
    SCOPED_TRACE("a folder of that name");
    ASSERT_TRUE(::DeleteFileA(big.c_str()));
    ASSERT_TRUE(::CreateDirectoryA(big.c_str(), nullptr));
    ExpectUpdateRefused("Update Error|File Not Found BIG.DA_");
}

// A destination that cannot be created is reported with its installed name,
// and nothing is written under another (the LZ library's own create would
// try again as BIG.DA_ and report success). A device is no disk file.
TEST_F(DamagedFile, DestinationThatCannotBeCreatedIsNeverWrittenUnderAnotherName)
{
    const std::string big = Join(Dest, "BIG.DAT");
    for (bool folder : {true, false}) {
        SCOPED_TRACE(folder ? "a folder of that name" : "held open without sharing");
        ASSERT_TRUE(RemoveTree(big));
        ASSERT_TRUE(folder ? ::CreateDirectoryA(big.c_str(), nullptr) : WriteFileBytes(big, Earlier.at("BIG.DAT")));
        TFile holder(::CreateFileA(big.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(folder || holder.IsValid());
        ExpectFailure(Compress(Newer), "File Creation Error BIG.DAT", LZERROR_BADOUTHANDLE);
        holder.Reset();
        ExpectStoppedAtBig(!folder);
        for (const std::string& name : Names(Dest)) EXPECT_NE('_', name.back()) << name;
    }
    // Taken into use while it is expanded: the whole new file cannot take
    // the installed name, and goes.
    ASSERT_TRUE(RemoveTree(big) && WriteFileBytes(big, Earlier.at("BIG.DAT")));
    TFile holder;
    ProgressTrigger takeIntoUse("Expanding BIG.DA_ . . .", [&] {
        holder.Reset(::CreateFileA(big.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    });
    ExpectFailure(Compress(Newer), "File Creation Error BIG.DAT", LZERROR_BADOUTHANDLE);
    EXPECT_TRUE(holder.IsValid());
    holder.Reset();
    ExpectStoppedAtBig(true);
    // Made under the name while it is expanded where nothing was: kept.
    ASSERT_TRUE(RemoveTree(big));
    ProgressTrigger makeMeanwhile("Expanding BIG.DA_ . . .", [&] { WriteFileBytes(big, Earlier.at("BIG.DAT")); });
    ExpectFailure(Compress(Newer), "File Creation Error BIG.DAT", LZERROR_BADOUTHANDLE);
    ExpectStoppedAtBig(true);
    EXPECT_EQ(kLzBadOutHandle, CheckDestination(Join(Dest, "NUL").c_str()));
}

// Before anything is written, the update checks every installed file it
// would replace: one that cannot be replaced now (read-only, in use, a
// folder) refuses the update with its installed name, also where the
// update's source is the installed folder, whose compressed files stay.
TEST_F(DamagedFile, UpdateRefusesFilesItCannotReplaceNow)
{
    PrepareUpdate();
    if (HasFatalFailure()) return;
    ASSERT_TRUE(WriteCompressed(Installation, "TSW.EXE", Newer));
    const std::string updates = UpdateSource;
    auto refused = [&](const std::string& source, const std::vector<std::string>& list, const std::string& name,
                       bool inUse) {
        UpdateSource = source;
        ASSERT_TRUE(WriteFileBytes(Join(source, "disk_1.lst"), ListText(list)));
        BeforeUpdate = TakeTree(Installation);
        TFile holder(inUse ? ::CreateFileA(Join(Installation, name).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0,
                                           nullptr)
                           : INVALID_HANDLE_VALUE);
        ExpectUpdateRefused(("Update Error|File Creation Error " + name).substr(0, 13 + 79),
                            [&](HWND) { holder.Reset(); });
    };
    const std::string big = Join(Installation, "BIG.DAT");
    for (DWORD attribute : {FILE_ATTRIBUTE_READONLY, FILE_ATTRIBUTE_HIDDEN, FILE_ATTRIBUTE_SYSTEM}) {
        ASSERT_TRUE(::SetFileAttributesA(big.c_str(), attribute));
        refused(updates, {"3", "A.TXT", "BIG.DAT", "Z.TXT"}, "BIG.DAT", false);
    }
    ASSERT_TRUE(::SetFileAttributesA(big.c_str(), FILE_ATTRIBUTE_NORMAL));
    refused(updates, {"3", "A.TXT", "BIG.DAT", "Z.TXT"}, "BIG.DAT", true);
    ASSERT_TRUE(::DeleteFileA(big.c_str()) && ::CreateDirectoryA(big.c_str(), nullptr));
    refused(updates, {"3", "A.TXT", "BIG.DAT", "Z.TXT"}, "BIG.DAT", false);
    refused(Installation, {"1", "TSW.EXE Tessaryn"}, "TSW.EXE", true);
    refused(Installation, {"2", "A.TXT", "TSW.EX_"}, "TSW.EX_", false);
    refused(Installation + "\\.", {"2", "A.TXT", "TSW.EX_"}, "TSW.EX_", false);
    // Spelt with its short name, which no comparison of paths recognises:
    // the file is still its own compressed file, held open as it is checked.
    char shortName[MAX_PATH] = {};
    ASSERT_TRUE(::GetShortPathNameA(Installation.c_str(), shortName, MAX_PATH));
    ASSERT_STRCASENE(Installation.c_str(), shortName);
    refused(shortName, {"1", "TSW.EX_"}, "TSW.EX_", false);
    // A folder whose files may be changed but that refuses new ones: refused
    // by name before anything is written.
    ASSERT_EQ(0, RunUnixShell("chattr +i \"$1\"", {ToUnixPath(Installation)}));
    std::string folder = Installation;  // as the dialog stores it
    std::transform(folder.begin(), folder.end(), folder.begin(), [](unsigned char c) { return std::toupper(c); });
    refused(updates, {"2", "A.TXT", "Z.TXT"}, folder, false);
    EXPECT_EQ(0, RunUnixShell("chattr -i \"$1\"", {ToUnixPath(Installation)}));
    // The expander makes no folder: one the installation lacks is refused.
    ASSERT_TRUE(MakeDirectories(Join(updates, "SUB")) && WriteCompressed(Join(updates, "SUB"), "X.DAT", Newer));
    refused(updates, {"2", "A.TXT", "SUB\\X.DAT"}, "X.DAT", false);
}

// ---------------------------------------------------------------------------
// The longest paths

namespace {
// A name of exactly `length` characters ending in `extension`.
std::string NameOfLength(std::size_t length, const std::string& extension, char fill)
{
    return std::string(length - extension.size(), fill) + extension;
}

// The longest path the platform's LZOpenFileA takes (its OFSTRUCT holds 128
// characters with the terminator).
constexpr std::size_t kLongestOpenPath = 127;

// A set with, in every folder, a short name and one that makes the installed
// path exactly `longest` characters under a target of `targetLength`.
std::vector<SetFile> LongNamedFiles(std::size_t targetLength, std::size_t longest)
{
    std::vector<SetFile> files;
    auto fill = [&](int disk, const std::string& folder, const std::string& shortName, const std::string& extension,
                    char letter, const std::string& title) {
        std::size_t directory = targetLength + (folder.empty() ? 0 : 1 + folder.size());
        files.push_back({disk, folder, NameOfLength(longest - directory - 1, extension, letter), title, 700});
        files.push_back({disk, folder, shortName, "", 300});
    };
    fill(1, "", "TSW.HLP", ".EXE", 'P', "Long Named Program");
    fill(2, "", "TSWDB.DLL", ".DLL", 'D', "");
    fill(2, "LOOKUP", "LOOKUP1.TBL", ".TBL", 'L', "");
    fill(2, "USER_DLL", "USERDB.DOC", ".DOC", 'U', "");
    fill(2, "CRANE", "CRANE1.RN", ".RN", 'C', "");
    fill(2, "CCIR", "CCIR1.RN", ".RN", 'I', "");
    fill(2, "CANADA", "CANADA1.RN", ".RN", 'A', "");
    fill(2, "TSDATA", "EXAMPLE1.DAT", ".DAT", 'T', "");
    return files;
}

std::string TargetOfLength(const std::string& base, std::size_t length)
{
    return base + "\\" + std::string(length - base.size() - 1, 'X');
}
}

TEST_F(FaultInjection, LongestTargetAndSuffix)
{
    // A target of 79 characters, the most the dialogs accept: with \USER_DLL
    // its longest folder has 88, and every name fills the path to the longest
    // the platform opens.
    ASSERT_LT(Scratch.size(), 70u) << "this test's folder leaves no room for a 79-character target";
    const std::string target = TargetOfLength(Scratch, 79);
    ASSERT_EQ(79u, target.size());
    SetTarget(target);
    const std::vector<SetFile> files = LongNamedFiles(target.size(), kLongestOpenPath);
    DiskSet set = MakeDiskSet(Folder("set"), 1, files);

    AnswerPromptsWith(set);
    EXPECT_TRUE(Window->InstallComponents());
    EXPECT_EQ(Lines({PromptDisk1, PromptDisk2}), Transcript());
    EXPECT_EQ(AllLists, Progress.ListsRead());
    ExpectTree(set.Complete(), target);
    std::size_t longestSeen = 0;
    for (const SetFile& file : files) longestSeen = std::max(longestSeen, Join(target, InstalledPath(file)).size());
    EXPECT_EQ(kLongestOpenPath, longestSeen);
    EXPECT_EQ(88u, (target + "\\USER_DLL").size());

    // The long program name is captured whole, and the progress named each
    // long compressed name whole.
    EXPECT_EQ(files[0].Name, Window->ProgramFile[0]);
    EXPECT_EQ("Long Named Program", Window->ItemTitle[0]);
    bool shown = false;
    for (const ProgressFrame& frame : Progress.Frames())
        shown = shown || frame.Text == "Expanding " + CompressedFileName(files[0].Name) + " . . .";
    EXPECT_TRUE(shown);
}

TEST_F(FaultInjection, PathPastPlatformLimit)
{
    // One character more than the platform opens, last in the user
    // database's list: that file is reported while the list is read, so
    // nothing of the list is written; no file of a cut name appears, and the
    // run goes on.
    ASSERT_LT(Scratch.size(), 70u);
    const std::string target = TargetOfLength(Scratch, 79);
    SetTarget(target);
    std::vector<SetFile> files = StandardFiles;
    const std::string tooLong = NameOfLength(kLongestOpenPath + 1 - 89, ".DOC", 'U');
    ASSERT_EQ("USERDB.DOC", files[7].Name);
    files.insert(files.begin() + 8, {2, "USER_DLL", tooLong, "", 500});
    DiskSet set = MakeDiskSet(Folder("set"), 1, files);
    ASSERT_EQ(kLongestOpenPath + 1, Join(target, "USER_DLL\\" + tooLong).size());

    AnswerPromptsWith(set);
    Boxes.Expect("Installation Error", IDOK);
    EXPECT_TRUE(Window->InstallComponents());
    EXPECT_EQ(Lines({PromptDisk1, PromptDisk2, "Installation Error|File Creation Error " + tooLong}), Transcript());
    FileMap expected = set.Complete();
    expected.erase("USER_DLL\\" + tooLong);
    expected.erase("USER_DLL\\USERDB.DOC");  // before it in its list
    ExpectTree(expected, target);
}

// ---------------------------------------------------------------------------
// A file where a folder belongs

TEST_F(FaultInjection, FileNamedLikeASubdirectoryIsLeftAndOnlyItsListFails)
{
    DiskSet v1 = MakeDiskSet(Folder("v1"), 1, StandardFiles);
    DiskSet v2 = MakeDiskSet(Folder("v2"), 2, StandardFiles);
    InstallEarlier(v1);
    if (HasFatalFailure()) return;
    // Files named LOOKUP and CRANE in place of those folders.
    for (const char* name : {"LOOKUP", "CRANE"}) {
        RemoveTree(Join(Target(), name));
        ASSERT_TRUE(WriteFileBytes(Join(Target(), name), std::string("a file named ") + name));
    }
    const FileMap before = TakeInstalled(Target());

    // Something of that name exists, so no folder is made; expanding into it
    // fails for its first file, and the run goes on.
    AnswerPromptsWith(v2);
    Boxes.Expect("Installation Error", IDCANCEL);
    Boxes.Expect("Installation Error", IDCANCEL);
    EXPECT_TRUE(Window->InstallComponents());
    EXPECT_EQ(Lines({PromptDisk1, PromptDisk2, "Installation Error|File Creation Error LOOKUP1.TBL",
                     "Installation Error|File Creation Error CRANE1.RN"}),
              Transcript());
    EXPECT_EQ(AllLists, Progress.ListsRead());
    FileMap expected = v2.Complete();
    for (auto it = expected.begin(); it != expected.end();)
        it = it->first.compare(0, 7, "LOOKUP\\") == 0 || it->first.compare(0, 6, "CRANE\\") == 0 ? expected.erase(it)
                                                                                                  : std::next(it);
    expected["LOOKUP"] = before.at("LOOKUP");
    expected["CRANE"] = before.at("CRANE");
    ExpectTree(expected, Target());
}

TEST_F(FaultInjection, FileNamedLikeTheTargetStopsTheRunBeforeAnyPrompt)
{
    // A short path, so that the report shows it whole.
    const std::string target = Join(testenv::Root(), std::string("faults-target-") + testenv::Variant());
    RemoveOnExit removeTarget(target);
    ASSERT_TRUE(WriteFileBytes(target, "a file named like the target"));
    SetTarget(target);
    const std::string report = "Directory Creation Error " + target + "\\USER_DLL";
    ASSERT_LE(report.size(), 79u);
    Boxes.Expect("Installation Error", IDOK);
    EXPECT_FALSE(Window->InstallComponents());
    EXPECT_EQ(Lines({"Installation Error|" + report}), Transcript());
    EXPECT_TRUE(Progress.Frames().empty());
    EXPECT_EQ("a file named like the target", ReadBytes(target));
}

// ---------------------------------------------------------------------------
// Disk 2 taken out halfway through a run

TEST_F(FaultInjection, Disk2TakenOutBetweenTwoListsFailsEveryLaterList)
{
    DiskSet v1 = MakeDiskSet(Folder("v1"), 1, StandardFiles);
    DiskSet v2 = MakeDiskSet(Folder("v2"), 2, StandardFiles);
    InstallEarlier(v1);
    if (HasFatalFailure()) return;

    // Out goes the disk once disk_2.lst is done, as the lookup list is about
    // to be read: A: is an empty drive from then on. The disk was confirmed,
    // so no list of the run asks for it again; each is reported missing, and
    // none of them ends the run.
    ProgressTrigger takeOut("Reading disk_2e.lst . . .", [this] { Floppy.Eject(); });
    AnswerPromptsWith(v2);
    for (int i = 0; i < 6; ++i) Boxes.Expect("Installation Error", IDOK);
    EXPECT_TRUE(Window->InstallComponents());
    EXPECT_TRUE(takeOut.Fired());
    Lines expectedBoxes = {PromptDisk1, PromptDisk2};
    for (const char* list : {"disk_2e.lst", "disk_2f.lst", "disk_2a.lst", "disk_2b.lst", "disk_2c.lst", "disk_2d.lst"})
        expectedBoxes.push_back(std::string("Installation Error|File Not Found ") + list);
    EXPECT_EQ(expectedBoxes, Transcript());
    EXPECT_EQ(AllLists, Progress.ListsRead());
    EXPECT_EQ(2, Window->CurrentDisk);

    // The program disks' files are the new version, every subdirectory the
    // earlier one.
    FileMap expected = v1.Complete();
    for (const char* path : {"TSW.EXE", "TSW.HLP", "TSWDB.DLL", "RAINCALC.EXE"}) expected[path] = v2.Installed.at(path);
    ExpectTree(expected, Target());
}
