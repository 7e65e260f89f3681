// InstallComponents and PrepareDirectories on a real main window, from the
// sample disk set in the emulated floppy drive A:.
#include "tests/window/InstallerFixture.h"

#include "tests/kit/MappedDrive.h"
#include "shell/plain/Settings.h"
#include "tests/kit/MappedDrive.h"

#include <algorithm>

namespace {
class InstallDriverTest : public InstallerTest {
protected:
    void SetUp() override
    {
        InstallerTest::SetUp();
        if (HasFatalFailure()) return;
        Target = Join(Scratch, "TSW30");
        SetTarget(Target);
    }

    void SetTarget(const std::string& target) { CopyBounded(Settings.TargetDirectory, kPathSize, target.c_str()); }

    void Select(bool program, bool crane, bool ccir, bool canada, bool examples)
    {
        Settings.Flags[ComponentProgram] = program;
        Settings.Flags[ComponentCrane] = crane;
        Settings.Flags[ComponentCcir] = ccir;
        Settings.Flags[ComponentCanada] = canada;
        Settings.Flags[ComponentExamples] = examples;
    }

    // A copy of the sample disk set in this test's folder: Disk1, Disk2.
    void CopySampleDisks()
    {
        std::string set = testenv::SampleSet();
        ASSERT_TRUE(FileExists(Join(Join(set, "disk1"), "disk_1.lst"))) << "the sample disk set is missing: " << set;
        Disk1 = Join(Scratch, "disk1");
        Disk2 = Join(Scratch, "disk2");
        CopyTree(Join(set, "disk1"), Disk1);
        CopyTree(Join(set, "disk2"), Disk2);
    }

    std::function<void(HWND)> Insert(const std::string& disk)
    {
        return [this, disk](HWND) { Floppy.Insert(disk); };
    }

    // Every file of a release folder installed byte for byte into a folder.
    void ExpectReleaseFolderInstalled(const std::string& releaseFolder, const std::string& installedFolder)
    {
        std::string from = Join(testenv::SampleRelease(), releaseFolder);
        Lines names = Names(from);
        ASSERT_FALSE(names.empty()) << from;
        for (const std::string& name : names) {
            bool found = false;
            std::string installed = ReadBytes(Join(installedFolder, name), &found);
            EXPECT_TRUE(found) << releaseFolder << "\\" << name << " was not installed";
            EXPECT_TRUE(found && installed == ReadBytes(Join(from, name)))
                << releaseFolder << "\\" << name << " differs from its original";
        }
    }

    Lines ReleaseNames(const std::string& releaseFolder) { return Names(Join(testenv::SampleRelease(), releaseFolder)); }

    std::string Target;
    std::string Disk1;
    std::string Disk2;
};
}

TEST_F(InstallDriverTest, FullRunAsksForEachDiskOnceAndInstallsEveryFile)
{
    CopySampleDisks();
    ASSERT_EQ(0, Window->CurrentDisk);
    Boxes.Expect("New Disk Required", IDOK, Insert(Disk1));
    Boxes.Expect("New Disk Required", IDOK, Insert(Disk2));
    EXPECT_TRUE(Window->InstallComponents());
    EXPECT_EQ(Lines({PromptDisk1, PromptDisk2}), Transcript());
    EXPECT_EQ(2, Window->CurrentDisk);

    EXPECT_EQ(AllLists, Progress.ListsRead());
    Lines captions;
    for (const ProgressFrame& frame : Progress.Frames())
        if (frame.Text.compare(0, 8, "Reading ") == 0) captions.push_back(frame.Caption);
    EXPECT_EQ(Lines({"Installing Tessaryn Program", "Installing Tessaryn Program", "Installing Lookup Files",
                     "Installing User Database Doc", "Installing Crane Rain Files", "Installing CCIR Rain Files",
                     "Installing Canadian Rain Files", "Installing Example Files"}),
              captions);

    // Beside the texts, the gauge of the whole run: after each list, the
    // percent of the bytes that the lists so far expand to (disk 1 was not in the
    // drive at the start: its sizes come once it is).
    std::vector<int> percentAfterList;
    for (const ProgressFrame& frame : Progress.Frames()) {
        if (frame.Text.compare(0, 8, "Reading ") == 0) percentAfterList.push_back(-1);
        if (!percentAfterList.empty()) percentAfterList.back() = frame.Percent;
    }
    std::vector<long long> upToList;
    long long bytes = 0;
    for (const char* folder : {"PROGRAM1", "PROGRAM2", "LOOKUP", "USER_DLL", "CRANE", "CCIR", "CANADA", "TSDATA"}) {
        for (const std::string& name : ReleaseNames(folder))
            bytes += static_cast<long long>(ReadBytes(Join(Join(testenv::SampleRelease(), folder), name)).size());
        upToList.push_back(bytes);
    }
    ASSERT_EQ(upToList.size(), percentAfterList.size());
    for (std::size_t i = 0; i < upToList.size(); ++i)
        EXPECT_NEAR(upToList[i] * 100 / bytes, percentAfterList[i], 1) << "after " << AllLists[i];
    EXPECT_EQ(100, percentAfterList.back());

    ExpectReleaseFolderInstalled("PROGRAM1", Target);
    ExpectReleaseFolderInstalled("PROGRAM2", Target);
    for (const std::string& sub : Subdirectories) {
        ExpectReleaseFolderInstalled(sub, Join(Target, sub));
        EXPECT_EQ(ReleaseNames(sub), Names(Join(Target, sub))) << "nothing else in " << sub;
    }
    Lines top = ReleaseNames("PROGRAM1");
    for (const std::string& name : ReleaseNames("PROGRAM2")) top.push_back(name);
    for (const std::string& sub : Subdirectories) top.push_back(sub);
    top.push_back("TSW_INST.LOG");  // the installation's record
    std::sort(top.begin(), top.end());
    EXPECT_EQ(top, Names(Target)) << "nothing else in the target";

    // The program items of both program disks, disk 1's first.
    EXPECT_EQ("TSW.EXE", Window->ProgramFile[0]);
    EXPECT_EQ("Tessaryn 3.0", Window->ItemTitle[0]);
    EXPECT_EQ("RAINCALC.EXE", Window->ProgramFile[1]);
    EXPECT_EQ("Rain Calculator", Window->ItemTitle[1]);
    EXPECT_EQ("", Window->ProgramFile[2]);
}

TEST_F(InstallDriverTest, SecondRunAsksForDiskOneAgainAndAlwaysForDiskTwo)
{
    CopySampleDisks();
    Select(true, false, false, false, false);
    Boxes.Expect("New Disk Required", IDOK, Insert(Disk1));
    Boxes.Expect("New Disk Required", IDOK, Insert(Disk2));
    ASSERT_TRUE(Window->InstallComponents());
    ASSERT_EQ(2, Window->CurrentDisk);

    Boxes.Clear();
    Window->EmptyProgramSlots();
    Boxes.Expect("New Disk Required", IDOK, Insert(Disk1));
    Boxes.Expect("New Disk Required", IDOK, Insert(Disk2));
    EXPECT_TRUE(Window->InstallComponents());
    EXPECT_EQ(Lines({PromptDisk1, PromptDisk2}), Transcript());

    // With disk 1 confirmed already, only disk 2 is asked for.
    Boxes.Clear();
    Floppy.Insert(Disk1);
    Window->CurrentDisk = 1;
    Boxes.Expect("New Disk Required", IDOK, Insert(Disk2));
    EXPECT_TRUE(Window->InstallComponents());
    EXPECT_EQ(Lines({PromptDisk2}), Transcript());
    ExpectReleaseFolderInstalled("PROGRAM1", Target);
    ExpectReleaseFolderInstalled("LOOKUP", Join(Target, "LOOKUP"));
    EXPECT_FALSE(FileExists(Join(Target, "CRANE")));
}

TEST_F(InstallDriverTest, NothingSelectedCreatesNothingAndAsksNothing)
{
    Select(false, false, false, false, false);
    Boxes.Expect("Installation Error", IDOK);
    EXPECT_FALSE(Window->InstallComponents());
    EXPECT_EQ(Lines({"Installation Error|Nothing to Install"}), Transcript());
    EXPECT_FALSE(FileExists(Target));
    EXPECT_TRUE(Progress.Frames().empty());
}

TEST_F(InstallDriverTest, CraneOnlyAsksForDiskTwoAndReportsIncomplete)
{
    CopySampleDisks();
    Select(false, true, false, false, false);
    Boxes.Expect("New Disk Required", IDOK, Insert(Disk2));
    EXPECT_FALSE(Window->InstallComponents());
    EXPECT_EQ(Lines({PromptDisk2}), Transcript());
    EXPECT_EQ(Lines({"CRANE", "LOOKUP", "TSW_INST.LOG", "USER_DLL"}), Names(Target));
    EXPECT_EQ(Lines({"disk_2a.lst"}), Progress.ListsRead());
    ExpectReleaseFolderInstalled("CRANE", Join(Target, "CRANE"));
    EXPECT_TRUE(Names(Join(Target, "LOOKUP")).empty());
    EXPECT_TRUE(Names(Join(Target, "USER_DLL")).empty());
}

TEST_F(InstallDriverTest, MissingLookupFileDoesNotStopTheRest)
{
    CopySampleDisks();
    Lines lookup = ReleaseNames("LOOKUP");
    ASSERT_GE(lookup.size(), 3u);
    // The list is in name order: the second file goes missing.
    ASSERT_TRUE(::DeleteFileA(Join(Join(Disk2, "LOOKUP"), CompressedFileName(lookup[1])).c_str()));
    Boxes.Expect("New Disk Required", IDOK, Insert(Disk1));
    Boxes.Expect("New Disk Required", IDOK, Insert(Disk2));
    Boxes.Expect("Installation Error", IDCANCEL);
    EXPECT_TRUE(Window->InstallComponents());
    EXPECT_EQ(Lines({PromptDisk1, PromptDisk2, "Installation Error|File Not Found " + CompressedFileName(lookup[1])}),
              Transcript());
    EXPECT_EQ(AllLists, Progress.ListsRead());
    EXPECT_EQ(Lines({lookup[0]}), Names(Join(Target, "LOOKUP"))) << "the files after the missing one";
    for (const char* sub : {"USER_DLL", "CRANE", "CCIR", "CANADA", "TSDATA"})
        ExpectReleaseFolderInstalled(sub, Join(Target, sub));
}

TEST_F(InstallDriverTest, CancelAtADataComponentsPromptSkipsOnlyThatComponent)
{
    CopySampleDisks();
    Select(false, true, true, false, false);
    Boxes.Expect("New Disk Required", IDCANCEL);              // Crane
    Boxes.Expect("New Disk Required", IDOK, Insert(Disk2));   // CCIR
    EXPECT_FALSE(Window->InstallComponents());
    EXPECT_EQ(Lines({PromptDisk2, PromptDisk2}), Transcript());
    EXPECT_EQ(Lines({"disk_2b.lst"}), Progress.ListsRead());
    EXPECT_TRUE(IsDirectory(Join(Target, "CRANE")));
    EXPECT_TRUE(Names(Join(Target, "CRANE")).empty());
    ExpectReleaseFolderInstalled("CCIR", Join(Target, "CCIR"));
}

TEST_F(InstallDriverTest, ProgramComponentEndsAtCancelOrAFailedProgramList)
{
    CopySampleDisks();

    // Cancel at disk 1.
    Boxes.Expect("New Disk Required", IDCANCEL);
    EXPECT_FALSE(Window->InstallComponents());
    EXPECT_EQ(Lines({PromptDisk1}), Transcript());
    EXPECT_TRUE(Progress.ListsRead().empty());

    // Cancel at disk 2: no data component asks again.
    Boxes.Clear();
    Boxes.Expect("New Disk Required", IDOK, Insert(Disk1));
    Boxes.Expect("New Disk Required", IDCANCEL);
    EXPECT_FALSE(Window->InstallComponents());
    EXPECT_EQ(Lines({PromptDisk1, PromptDisk2}), Transcript());
    EXPECT_EQ(Lines({"disk_1.lst"}), Progress.ListsRead());

    // A file of disk 1 missing: the run ends before disk 2.
    Boxes.Clear();
    Progress.Clear();
    Floppy.Eject();
    Window->CurrentDisk = 0;
    ASSERT_TRUE(::DeleteFileA(Join(Disk1, "TSW.EX_").c_str()) && ::DeleteFileA(Join(Target, "TSW.EXE").c_str()));
    Boxes.Expect("New Disk Required", IDOK, Insert(Disk1));
    Boxes.Expect("Installation Error", IDCANCEL);
    EXPECT_FALSE(Window->InstallComponents());
    EXPECT_EQ(Lines({PromptDisk1, "Installation Error|File Not Found TSW.EX_"}), Transcript());
    EXPECT_EQ(Lines({"disk_1.lst"}), Progress.ListsRead());
}

TEST_F(InstallDriverTest, TargetIsCreatedLevelByLevel)
{
    std::string a = Folder("A");
    SetTarget(Join(Join(Join(a, "B"), "C"), "D"));
    EXPECT_TRUE(Window->PrepareDirectories());
    EXPECT_TRUE(IsDirectory(Join(a, "B")));
    EXPECT_TRUE(IsDirectory(Join(Join(a, "B"), "C")));
    EXPECT_EQ(Lines({"CANADA", "CCIR", "CRANE", "LOOKUP", "TSDATA", "TSW_INST.LOG", "USER_DLL"}),
              Names(Settings.TargetDirectory));
    EXPECT_TRUE(Transcript().empty());

    // An existing tree is used as it is.
    ASSERT_TRUE(WriteFileBytes(Join(Join(Settings.TargetDirectory, "LOOKUP"), "KEEP.TBL"), "kept"));
    Select(false, true, false, false, false);
    EXPECT_TRUE(Window->PrepareDirectories());
    EXPECT_EQ("kept", ReadBytes(Join(Join(Settings.TargetDirectory, "LOOKUP"), "KEEP.TBL")));
}

TEST_F(InstallDriverTest, SubdirectoriesFollowTheSelection)
{
    Select(false, false, true, false, true);
    EXPECT_TRUE(Window->PrepareDirectories());
    EXPECT_EQ(Lines({"CCIR", "LOOKUP", "TSDATA", "TSW_INST.LOG", "USER_DLL"}), Names(Target));
}

TEST_F(InstallDriverTest, UnwritableTargetIsDirectoryCreationErrorWithTheWholeTarget)
{
    CopySampleDisks();
    SetTarget(std::string(1, testenv::ReadOnlyDrive) + ":\\TSW30\\SUB");
    Boxes.Expect("Installation Error", IDOK);
    EXPECT_FALSE(Window->InstallComponents());
    EXPECT_EQ(Lines({"Installation Error|Directory Creation Error R:\\TSW30\\SUB"}), Transcript());
    EXPECT_FALSE(FileExists("R:\\TSW30"));
    EXPECT_TRUE(Progress.Frames().empty());
}

TEST_F(InstallDriverTest, FullTargetDiskEndsTheRunBeforeTheDataComponents)
{
    std::string why = testenv::FullDiskUnavailable();
    if (!why.empty()) GTEST_SKIP() << "no size-limited file system on this machine: " << why;

    // A disk set of small files but one lookup table larger than the 64 KB
    // target disk.
    std::string disk1 = Folder("disk1");
    std::string disk2 = Folder("disk2");
    ASSERT_TRUE(WriteCompressed(disk1, "TSW.EXE", SampleBytes(1000, 1)));
    ASSERT_TRUE(WriteFileBytes(Join(disk1, "disk_1.lst"), ListText({"1", "TSW.EXE Tessaryn 3.0"})));
    ASSERT_TRUE(WriteCompressed(disk2, "TSWDB.DLL", SampleBytes(1000, 2)));
    ASSERT_TRUE(WriteFileBytes(Join(disk2, "disk_2.lst"), ListText({"1", "TSWDB.DLL"})));
    struct Part {
        const char* Folder;
        const char* List;
        std::vector<std::pair<std::string, std::size_t>> Files;
    };
    const Part parts[] = {
        {"LOOKUP", "disk_2e.lst", {{"SMALL.TBL", 500}, {"HUGE.TBL", 200000}, {"AFTER.TBL", 500}}},
        {"USER_DLL", "disk_2f.lst", {{"USER.DOC", 500}}},
        {"CRANE", "disk_2a.lst", {{"CRANE.TBL", 500}}},
        {"CCIR", "disk_2b.lst", {{"CCIR.TBL", 500}}},
        {"CANADA", "disk_2c.lst", {{"CANADA.TBL", 500}}},
        {"TSDATA", "disk_2d.lst", {{"EXAMPLE.DAT", 500}}},
    };
    for (const Part& part : parts) {
        std::string folder = Join(disk2, part.Folder);
        ASSERT_TRUE(MakeDirectories(folder));
        Lines list = {std::to_string(part.Files.size())};
        for (const auto& file : part.Files) {
            ASSERT_TRUE(WriteCompressed(folder, file.first, SampleBytes(file.second, 3)));
            list.push_back(file.first);
        }
        ASSERT_TRUE(WriteFileBytes(Join(folder, part.List), ListText(list)));
    }

    const std::string full = testenv::FullDiskFolder();
    for (const std::string& name : Names(full)) RemoveTree(Join(full, name));
    SetTarget(Join(full, "TSW30"));
    Boxes.Expect("New Disk Required", IDOK, Insert(disk1));
    Boxes.Expect("New Disk Required", IDOK, Insert(disk2));
    Boxes.Expect("Installation Error", IDCANCEL);
    bool complete = Window->InstallComponents();
    std::string target = Settings.TargetDirectory;
    EXPECT_FALSE(complete);
    EXPECT_EQ(Lines({PromptDisk1, PromptDisk2, "Installation Error|" + testenv::FullDiskReport("HUGE.TBL")}),
              Transcript());
    EXPECT_EQ(Lines({"disk_1.lst", "disk_2.lst", "disk_2e.lst"}), Progress.ListsRead());
    EXPECT_TRUE(FileExists(Join(target, "TSW.EXE")));
    EXPECT_FALSE(FileExists(Join(Join(target, "LOOKUP"), "AFTER.TBL")));
    for (const char* sub : {"USER_DLL", "CRANE", "CCIR", "CANADA", "TSDATA"})
        EXPECT_TRUE(Names(Join(target, sub)).empty()) << sub << " was installed after the disk was full";
    RemoveTree(target);
}

// Each answer to the room report is named in the log, and the run's last
// line says how it ended: at the report, or at a prompt cancelled after it.
TEST_F(InstallDriverTest, TooLittleRoomIsReportedBeforeAnythingIsMade)
{
    CopySampleDisks();
    // Disk 1 says the Crane files need more room than any drive here has.
    std::string sizes;
    for (int i = 0; i < 1000; ++i) sizes += "2147483647 disk_2a.lst F" + std::to_string(i) + ".DAT\r\n";
    ASSERT_TRUE(WriteFileBytes(Join(Disk1, "SIZES.LST"), sizes));
    Floppy.Insert(Disk1);
    char temporary[MAX_PATH] = {};
    ASSERT_NE(0u, ::GetTempPathA(sizeof temporary, temporary));
    const std::string temporaryLog = Join(temporary, "TSW_INST.LOG");
    ::DeleteFileA(temporaryLog.c_str());
    Boxes.Expect("Installation Error", IDRETRY);
    Boxes.Expect("Installation Error", IDABORT);
    {
        RunLog log(Window->Record, "installation", "A:\\", true);
        EXPECT_FALSE(Window->InstallComponents());
    }
    const std::string report = "Installation Error|Insufficient Disk Space\n\n" + Target + " needs 2,099,249,152 KB; drive " +
                               Target.substr(0, 2) + " has ";
    const std::string buttons = " free.\n\nRetry once there is room; Ignore goes on all the same (the free room of a "
                                "compressed drive is an estimate); Abort stops before the first file.";
    ASSERT_EQ(2u, Transcript().size());
    for (const std::string& line : Transcript()) {
        EXPECT_EQ(report, line.substr(0, report.size()));
        EXPECT_EQ(buttons, line.substr(line.size() - std::min(line.size(), buttons.size())));
    }
    EXPECT_FALSE(FileExists(Target)) << "nothing made on the drive";
    std::string log = ReadBytes(temporaryLog);
    EXPECT_NE(std::string::npos, log.find("(Retry)\r\n")) << log;
    EXPECT_NE(std::string::npos, log.find("(Abort)\r\n")) << log;
    EXPECT_EQ("; end: message 17\r\n", log.substr(log.rfind("; "))) << log;

    // Ignore goes on all the same; a disk prompt cancelled then ends the run.
    Boxes.Clear();
    Boxes.Expect("Installation Error", IDIGNORE);
    Boxes.Expect("New Disk Required", IDCANCEL);
    {
        RunLog log(Window->Record, "installation", "A:\\", true);
        EXPECT_FALSE(Window->InstallComponents());
    }
    EXPECT_EQ(2u, Transcript().size());
    EXPECT_TRUE(FileExists(Target));
    log = ReadBytes(Join(Target, "TSW_INST.LOG"));
    EXPECT_NE(std::string::npos, log.find("(Ignore)\r\n")) << log;
    EXPECT_EQ("; end: cancelled\r\n", log.substr(log.rfind("; "))) << log;
    ::DeleteFileA(temporaryLog.c_str());
}

// A drive with no free room at all is full (only a CD-ROM has none without
// being full): the room report comes before any folder is made there.
TEST_F(InstallDriverTest, AFullDriveIsReportedBeforeAnythingIsMade)
{
    const std::string full = testenv::FullDiskFolder();
    if (!testenv::FullDiskUnavailable().empty()) GTEST_SKIP() << testenv::FullDiskUnavailable();
    CopySampleDisks();
    ASSERT_TRUE(WriteFileBytes(Join(Disk1, "SIZES.LST"), "1000 disk_2a.lst CRANE.DAT\r\n"));
    Floppy.Insert(Disk1);
    for (const std::string& name : Names(full)) RemoveTree(Join(full, name));
    const std::string filler = Join(full, "FILLER");
    RemoveOnExit emptyTheDisk(filler);
    {
        TFile file(::CreateFileA(filler.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
        const std::string block(512, 'x');
        DWORD written = 0;
        while (::WriteFile(file.Get(), block.data(), 512, &written, nullptr) && written == 512) {
        }
    }
    // The drive's free room is asked of its root: the small disk as a drive of its own.
    MappedDrive drive("QSTUVWXY", full);
    ASSERT_NE(0, drive.Drive()) << "drives Q: to Y: are all taken in this prefix";
    const std::string letter(1, drive.Drive());
    SetTarget(letter + ":\\TSW30");
    Boxes.Expect("Installation Error", IDABORT);
    EXPECT_FALSE(Window->InstallComponents());
    ASSERT_EQ(1u, Transcript().size());
    EXPECT_NE(std::string::npos, Transcript()[0].find("drive " + letter + ": has 0 KB free.")) << Transcript()[0];
    EXPECT_FALSE(FileExists(Join(full, "TSW30"))) << "a folder made on the full drive";
}

// The room is asked of the target's drive (a 64 KB disk here; the current
// directory's drive has far more), each file in whole clusters: a need of
// exactly the free room goes on, one cluster more is reported before
// anything is made, also where disk 2 was in the drive at Install (disk 1's
// sizes are read once it is confirmed).
TEST_F(InstallDriverTest, RoomIsAskedOfTheTargetsDriveToTheCluster)
{
    std::string why = testenv::FullDiskUnavailable();
    if (!why.empty()) GTEST_SKIP() << "no size-limited file system on this machine: " << why;
    const std::string full = testenv::FullDiskFolder();
    for (const std::string& name : Names(full)) RemoveTree(Join(full, name));
    MappedDrive small("UVWXY", full);
    ASSERT_NE(0, small.Drive()) << "drives U: to Y: are all taken in this prefix";
    const std::string root = std::string(1, small.Drive()) + ":\\";
    DWORD sectors = 0, bytes = 0, free = 0, clusters = 0;
    ASSERT_TRUE(::GetDiskFreeSpaceA(root.c_str(), &sectors, &bytes, &free, &clusters));
    const std::uint32_t cluster = sectors * bytes;
    ASSERT_GT(free, 2u);
    CopySampleDisks();
    Select(true, true, false, false, false);
    const struct {
        DWORD Files;  // of a cluster each: the run needs one cluster more
        bool Disk2InTheDrive;
    } rows[] = {{free - 1, false}, {free, false}, {free, true}};
    for (const auto& row : rows) {
        SCOPED_TRACE(std::to_string(row.Files) + " files of " + std::to_string(free) + " free clusters" +
                     (row.Disk2InTheDrive ? ", disk 2 in the drive" : ""));
        std::string sizes;
        for (DWORD i = 0; i < row.Files; ++i) sizes += std::to_string(cluster) + " disk_2a.lst F" + std::to_string(i) + ".DAT\r\n";
        ASSERT_TRUE(WriteFileBytes(Join(Disk1, "SIZES.LST"), sizes));
        const bool refused = row.Files == free;
        SetTarget(root + "TSW30");
        Floppy.Insert(row.Disk2InTheDrive ? Disk2 : Disk1);
        Boxes.Clear();
        if (row.Disk2InTheDrive) Boxes.Expect("New Disk Required", IDOK, Insert(Disk1));
        Boxes.Expect(refused ? "Installation Error" : "New Disk Required", refused ? IDABORT : IDCANCEL);
        EXPECT_FALSE(Window->InstallComponents());
        const Lines boxes = Transcript();
        ASSERT_EQ(row.Disk2InTheDrive ? 2u : 1u, boxes.size());
        EXPECT_EQ(refused ? "Installation Error|Insufficient Disk Space" : PromptDisk1,
                  boxes.back().substr(0, boxes.back().find('\n')));
        // With disk 2 in the drive the folders are made before disk 1 says what the files need.
        EXPECT_EQ(!refused || row.Disk2InTheDrive, FileExists(root + "TSW30")) << "made before the room was known";
        EXPECT_FALSE(FileExists(root + "TSW30\\TSW.EXE"));
        Window->Record.Close("end");
        RemoveTree(root + "TSW30");
        ASSERT_FALSE(FileExists(root + "TSW30"));
    }
}
