// The whole install command through the real installer, started by the
// launcher stand-in: the installation dialog, both disk prompts with the disk
// swapped, the installed tree, the Program Manager group, the marker, the
// completion question and INSTALL.OPT at exit.
//
// InstallFlow runs with both builds; InstallChecks, the variations of the
// same flow, with the NT build only (the builds differ only at start-up and
// exit, which InstallFlow covers).
#include "tests/e2e/FlowFixture.h"

#include "tests/kit/FileBytes.h"
#include "tests/kit/ReportedWindows.h"
#include "tests/kit/GuiDriver.h"
#include "tests/kit/WindowFinder.h"

#include <objbase.h>
#include <shlobj.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

using namespace flow;

namespace {

std::string ProgramsFolder()
{
    char path[MAX_PATH] = {};
    ::SHGetFolderPathA(nullptr, CSIDL_PROGRAMS, nullptr, 0, path);
    return path;
}

// The program a shortcut file starts, or "" when it cannot be read.
std::string ShortcutTarget(const std::string& shortcut)
{
    std::string target;
    ::CoInitialize(nullptr);
    IShellLinkA* link = nullptr;
    if (SUCCEEDED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                     reinterpret_cast<void**>(&link)))) {
        IPersistFile* file = nullptr;
        if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
            wchar_t wide[MAX_PATH] = {};
            ::MultiByteToWideChar(CP_ACP, 0, shortcut.c_str(), -1, wide, MAX_PATH);
            char path[MAX_PATH] = {};
            if (SUCCEEDED(file->Load(wide, STGM_READ)) && SUCCEEDED(link->GetPath(path, MAX_PATH, nullptr, 0)))
                target = path;
            file->Release();
        }
        link->Release();
    }
    ::CoUninitialize();
    return target;
}

// The files with the removal program the build made beside the installer,
// which an installation of the program component puts into its folder: the
// shipped one where SETUP.EXE started the installer from the disk images.
FileMap WithRemovalProgram(FileMap files, bool bySetup = false)
{
    const std::string tested = Build95.Path();
    const std::string remover = bySetup ? ShippedFile("tswremov.exe")
                                        : tested.substr(0, tested.find_last_of('\\') + 1) + "TSWREMOV.EXE";
    EXPECT_TRUE(ReadFileBytes(remover, files["TSWREMOV.EXE"]));
    return files;
}

// The installed tree of a complete installation of `components` from the
// sample release, with the marker.
FileMap CompleteInstallation(const std::string& components, bool bySetup = false)
{
    FileMap files = ReleaseFiles(DataFolder("release"), components);
    files["TSW_FILE.CHK"] = MarkerBytes();
    return components[0] == '1' ? WithRemovalProgram(files, bySetup) : files;
}

// A local installation of every component through the dialog and both disks,
// answered Yes at its end: the files installed and the launcher told.
class InstallFlow : public FlowTest {
protected:
    void InstallEverythingAndExit(Installer& installer)
    {
        ASSERT_TRUE(installer.WaitForMainWindow());
        InstallEntries entries;
        entries.Target = Target();
        ASSERT_TRUE(InstallThroughDisks(installer, LocalCommand, entries));
        ASSERT_TRUE(installer.Answer("Installation Complete", ExitQuestion, IDYES));
        ASSERT_TRUE(installer.WaitForEnd());
        EXPECT_EQ(NotificationsPosted(), installer.Report().FinishedCount());
        EXPECT_EQ(0u, installer.Report().InstallerExitCode);
        EXPECT_TRUE(SameTree(CompleteInstallation(AllComponents), TreeOf(Target())));
    }
};
using InstallChecks = FlowTest;
using RetryFlow = FlowTest;

// The system's sentence for an error code, as a box quotes it.
std::string SystemReason(DWORD error)
{
    char text[256] = "";
    ::FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0, text, sizeof text,
                     nullptr);
    return text;
}

// SETUP.EXE started with `arguments`, as a batch file starts it: its exit code reported.
LauncherSetup SetupRun(const std::string& setup, const std::vector<std::string>& arguments)
{
    LauncherSetup started;
    started.Installer = setup;
    started.Raw = true;
    started.RawArguments = arguments;
    started.TimeoutMs = 180000;
    return started;
}

std::string WithoutTitle(std::string list, const std::string& title)
{
    std::size_t at = list.find(" " + title);
    if (at != std::string::npos) list.erase(at, title.size() + 1);
    return list;
}
}

// A local installation of every component through the dialog and both disks:
// the files, the options file written at exit, the finishing notifications.
TEST_P(InstallFlow, LocalInstallationOfAllComponents)
{
    TSTESTKIT_RUN_ON_PRIVATE_DESKTOP();
    ASSERT_NO_FATAL_FAILURE(Prepare(Progman::StandIn));

    Installer installer(Build());
    ASSERT_NO_FATAL_FAILURE(InstallEverythingAndExit(installer));
    EXPECT_EQ(GroupCommands(StoredTarget(), SampleProgramItems()).size(), Server->Executes().size());

    // Written at exit to the disk then in the drive: disk 2.
    SavedOptions options = ReadOptionsFile(DiskFolder(2) + "\\INSTALL.OPT");
    ASSERT_TRUE(options.Valid);
    EXPECT_EQ(StoredTarget(), options.Target);
    EXPECT_EQ(AllComponents, options.Components);
}

// The release as the user gets it: disk 1 and disk 2 as floppy images, the
// installer started beside its picture, as SETUP.EXE leaves it on the hard
// disk, disk 2's image put in at its prompt. Nothing can be written to a
// floppy image at exit.
TEST_P(InstallFlow, FromTheFloppyImages)
{
    // Skipped before the run on a desktop of its own, which expects a pass.
    const std::string why = FloppyImage::Unavailable();
    if (!why.empty()) GTEST_SKIP() << "floppy images cannot be mounted: " << why;
    TSTESTKIT_RUN_ON_PRIVATE_DESKTOP();
    ASSERT_NO_FATAL_FAILURE(Prepare(Progman::StandIn));
    ASSERT_NO_FATAL_FAILURE(UseImages());

    Installer installer(Build().Path());
    ASSERT_NO_FATAL_FAILURE(InstallEverythingAndExit(installer));
    EXPECT_EQ(GroupCommands(StoredTarget(), SampleProgramItems()), Server->Executes());
    EXPECT_FALSE(FileExists(DiskFolder(2) + "\\INSTALL.OPT"));
    // Each file is dated as its release file, which a floppy holds to 2 seconds.
    for (const auto& file : ReleasePaths(DataFolder("release"), AllComponents))
        EXPECT_NEAR(LastWriteSeconds(file.second), LastWriteSeconds(Join(Target(), file.first)), 2) << file.first;
}

// The release as a person installs it: A:\SETUP.EXE started from disk 1's
// image, told the build's system, starts that build from its copy expanded
// off the floppy, and the help comes beside it once the main window shows,
// each the file the build wrote; the installation completes and the copy
// goes.
TEST_P(InstallFlow, FromTheFloppyImagesStartedBySetup)
{
    const std::string why = FloppyImage::Unavailable();
    if (!why.empty()) GTEST_SKIP() << "floppy images cannot be mounted: " << why;
    TSTESTKIT_RUN_ON_PRIVATE_DESKTOP();
    ASSERT_NO_FATAL_FAILURE(Prepare(Progman::StandIn));
    ASSERT_NO_FATAL_FAILURE(UseImages());
    ReportedWindows system("SETUP.EXE", Build().System);
    const std::set<std::string> before = SetupTemporaryFolders();

    Installer installer{StartedBySetup{}};
    ASSERT_TRUE(installer.WaitForMainWindow());
    char temporary[MAX_PATH] = {};
    ::GetTempPathA(sizeof temporary, temporary);
    ::GetShortPathNameA(temporary, temporary, sizeof temporary);
    const std::string image = ProcessImage(installer.ProcessId());
    EXPECT_EQ(Upper(temporary), Upper(image.substr(0, std::strlen(temporary)))) << image;
    EXPECT_EQ(std::string("\\") + Build().FileName(), Upper(image.substr(image.find_last_of('\\')))) << image;
    const std::string copy = image.substr(0, image.find_last_of('\\') + 1);
    EXPECT_TRUE(WaitForFile(copy + "TSW_INST.HLP") && WaitForFile(copy + "TSWREMOV.EXE"));
    // Wine finds the build's lower-case names under these too.
    for (const std::string name : {Build().FileName(), "INSTALL.EMF", "TSW_INST.HLP", "TSWREMOV.EXE"})
        EXPECT_EQ(ReadBytes(ShippedFile(name)), ReadBytes(copy + name)) << name;

    InstallEntries entries;
    entries.Target = Target();
    ASSERT_TRUE(InstallThroughDisks(installer, LocalCommand, entries));
    ASSERT_TRUE(installer.Answer("Installation Complete", ExitQuestion, IDYES));
    ASSERT_TRUE(installer.WaitForEnd());
    EXPECT_EQ(0u, installer.Report().InstallerExitCode) << "SETUP.EXE's exit code";
    EXPECT_TRUE(SameTree(CompleteInstallation(AllComponents, true), TreeOf(Target())));
    EXPECT_EQ(before, SetupTemporaryFolders());
}

// A repair from the floppy images over an installation with one file gone and
// one changed (its length kept) mends both; of the floppies it reads those two
// and the lists (each with its disk's checksum and sizes lists).
TEST_P(InstallChecks, ARepairFromTheFloppyImagesReadsOnlyTheDamagedFiles)
{
    const std::string why = FloppyImage::Unavailable();
    if (!why.empty()) GTEST_SKIP() << "floppy images cannot be mounted: " << why;
    TSTESTKIT_RUN_ON_PRIVATE_DESKTOP();
    ASSERT_NO_FATAL_FAILURE(Prepare(Progman::StandIn));
    ASSERT_NO_FATAL_FAILURE(UseImages());
    const FileMap complete = CompleteInstallation(AllComponents);
    std::string changed = complete.at("LOOKUP\\FEEDER.TBL");
    changed[changed.size() / 2] ^= 1;
    ASSERT_TRUE(MakeDirectories(Target()) && WriteTree(Target(), complete) &&
                ::DeleteFileA(Join(Target(), "TSW.HLP").c_str()) &&
                WriteFileBytes(Join(Target(), "LOOKUP\\FEEDER.TBL"), changed));
    Installer installer(Build().Path());
    ASSERT_TRUE(installer.WaitForMainWindow());
    InstallEntries entries;
    entries.Target = Target();
    ASSERT_TRUE(InstallThroughDisks(installer, LocalCommand, entries));
    ASSERT_TRUE(installer.Answer("Installation Complete", ExitQuestion, IDYES));
    ASSERT_TRUE(installer.WaitForEnd());
    EXPECT_TRUE(SameTree(complete, TreeOf(Target())));

    std::uint64_t damaged = ReadBytes(DiskFolder(1) + "\\TSW.HL_").size() +
                            ReadBytes(DiskFolder(2) + "\\LOOKUP\\FEEDER.TB_").size(), lists = 0;
    for (int disk : {1, 2}) {
        std::uint64_t each = 0, bytes = 0, count = 0;
        for (const auto& file : TakeTree(DiskFolder(disk))) {
            const std::string name = Upper(file.first);
            if (name == "CHECKSUM.LST" || name == "SIZES.LST") each += file.second.size();
            if (name.find("DISK_") != std::string::npos) bytes += file.second.size(), ++count;
        }
        lists += bytes + count * each;
    }
    const std::string log = ReadBytes(Join(Target(), "TSW_INST.LOG"));
    unsigned long long read = 0, left = 0;
    ASSERT_EQ(2, std::sscanf(log.substr(log.rfind("; read from the source: ")).c_str(),
                             "; read from the source: %llu bytes; files left as they were: %llu", &read, &left));
    EXPECT_TRUE(read >= damaged && read <= damaged + lists) << read << " of " << damaged << " and " << lists;
    EXPECT_EQ(complete.size() - 4, left) << "all but the two, the marker and the removal program";
}

// A person's disk 1 is a bad copy: one byte of TSW.EX_'s data changed, the
// length still right, which only the disk's CHECKSUM.LST tells. Its report
// offers Retry, and with the good disk 1 in the drive the same run goes on
// from that file, through disk 2, to its end.
TEST_P(RetryFlow, WrongDisk1ThenTheGoodOneAndRetryCompletesTheInstallation)
{
    TSTESTKIT_RUN_ON_PRIVATE_DESKTOP();
    ASSERT_NO_FATAL_FAILURE(Prepare(Progman::StandIn));
    const std::string badCopy = *Work / "bad disk1";
    ASSERT_TRUE(CopyTree(DiskFolder(1), badCopy));
    std::string packed = ReadBytes(badCopy + "\\TSW.EX_");
    ASSERT_TRUE(packed.size() > 15 && (packed[14] & 1)) << "the first item after the header is a literal";
    packed[15] ^= 1;
    ASSERT_TRUE(WriteFileBytes(badCopy + "\\TSW.EX_", packed));
    ASSERT_TRUE(Floppy->Insert(badCopy)) << Floppy->LastError();

    Installer installer(Build());
    ASSERT_TRUE(installer.WaitForMainWindow());
    InstallEntries entries;
    entries.Target = Target();
    ASSERT_TRUE(SubmitInstallDialog(installer, LocalCommand, entries));
    ASSERT_TRUE(installer.Answer(DiskPromptTitle, "Place Program Disk 1 in Drive A", IDOK));
    ASSERT_TRUE(installer.Answer("Installation Error", "File Read Error TSW.EX_", IDRETRY, InsertDisk(1)));
    ASSERT_TRUE(installer.Answer(DiskPromptTitle, "Place Program Disk 2 in Drive A", IDOK, InsertDisk(2)));
    ASSERT_TRUE(installer.Answer("Installation Complete", ExitQuestion, IDYES));
    ASSERT_TRUE(installer.WaitForEnd());
    EXPECT_EQ(0u, installer.Report().InstallerExitCode);
    EXPECT_TRUE(SameTree(CompleteInstallation(AllComponents), TreeOf(Target())));
}

// The execute transaction byte for byte at the stand-in, then a second run
// before the installer is closed: the group is sent again with that run's
// programs only.
TEST_P(InstallFlow, SendsTheGroupOnceARunAndTheSecondRunsItemsOnly)
{
    TSTESTKIT_RUN_ON_PRIVATE_DESKTOP();
    ASSERT_NO_FATAL_FAILURE(Prepare(Progman::StandIn));
    Installer installer(Build());
    ASSERT_TRUE(installer.WaitForMainWindow());
    InstallEntries entries;
    entries.Target = Target();
    ASSERT_TRUE(InstallThroughDisks(installer, LocalCommand, entries));
    ASSERT_TRUE(installer.Answer("Installation Complete", ExitQuestion, IDNO));

    const std::vector<std::string> group = GroupCommands(StoredTarget(), SampleProgramItems());
    std::vector<std::string> executes = Server->Executes();
    EXPECT_EQ(group, executes);
    FileMap first;
    ASSERT_TRUE(ReadInstalledTree(Target(), first));
    EXPECT_EQ(MarkerBytes(), first["TSW_FILE.CHK"]);

    // The second run: another target, and disk 2 no longer names a program.
    std::string list2 = DiskFolder(2) + "\\disk_2.lst";
    FileMap disk2 = FolderFiles(DiskFolder(2));
    std::string changed = WithoutTitle(disk2["DISK_2.LST"], "Rain Calculator");
    ASSERT_NE(changed, disk2["DISK_2.LST"]);
    ASSERT_TRUE(WriteFileBytes(list2, changed));
    ASSERT_TRUE(Floppy->Insert(DiskFolder(1))) << Floppy->LastError();
    InstallEntries second = entries;
    second.Target = *Work / "Second";
    ASSERT_TRUE(InstallThroughDisks(installer, LocalCommand, second));
    ASSERT_TRUE(installer.Answer("Installation Complete", ExitQuestion, IDNO));

    executes = Server->Executes();
    ASSERT_LE(group.size(), executes.size());
    EXPECT_EQ(GroupCommands(Upper(second.Target), {{"TSW.EXE", "Tessaryn 3.0"}}),
              std::vector<std::string>(executes.begin() + group.size(), executes.end()));
    EXPECT_EQ(2, Server->Connections());
    ASSERT_TRUE(installer.Close());
    EXPECT_EQ(NotificationsPosted(), installer.Report().FinishedCount());
}

// The one test with Wine's own Program Manager, a smoke test of what it makes
// of the commands: one shortcut per captured program, named by its title, to
// the right file, also from a target holding characters that Program
// Manager's command syntax gives a meaning (the arguments reach it quoted;
// the target holds no space, which would make its short form stand in).
// The Revisions item does not come out: Wine's AddItem looks its whole first
// argument up as one file name ("...\notepad.exe ...\tsw.txt" is none) and
// refuses it, which the notice says.
TEST_P(InstallChecks, ATargetWithProgmanSyntaxStillGetsItsShortcuts)
{
    TSTESTKIT_RUN_ON_PRIVATE_DESKTOP();
    ASSERT_NO_FATAL_FAILURE(Prepare(Progman::Wine));
    const std::string group = ProgramsFolder() + "\\" + GroupName;
    RemoveTree(group);

    Installer installer(Build());
    ASSERT_TRUE(installer.WaitForMainWindow());
    InstallEntries entries;
    entries.Target = *Work / "Tsw[1],(x)";
    ASSERT_TRUE(InstallThroughDisks(installer, LocalCommand, entries));
    ASSERT_TRUE(installer.Answer(MainWindowTitle, RevisionsRefusedText, IDOK));
    Box question;
    EXPECT_TRUE(QuestionStaysInFrontOfTheGroup(installer, "Installation Complete", question));
    ASSERT_TRUE(question.Handle);
    ASSERT_TRUE(installer.Press(question.Handle, IDYES));
    ASSERT_TRUE(installer.WaitForEnd());
    CloseGroupFolderWindows(5000);

    FileMap shortcuts;
    ASSERT_TRUE(ReadTree(group, shortcuts, TreeUpperCase)) << "no group folder " << group;
    std::vector<std::string> names;
    for (const auto& shortcut : shortcuts) names.push_back(shortcut.first);
    EXPECT_EQ((std::vector<std::string>{"RAIN CALCULATOR.LNK", "TESSARYN 3.0.LNK"}), names);
    EXPECT_EQ(Upper(entries.Target) + "\\TSW.EXE", Upper(ShortcutTarget(group + "\\Tessaryn 3.0.lnk")));
    EXPECT_EQ(Upper(entries.Target) + "\\RAINCALC.EXE", Upper(ShortcutTarget(group + "\\Rain Calculator.lnk")));
    RemoveTree(group);
}

// NT 3.51 has no Add/Remove Programs: an installation started from
// A:\SETUP.EXE, told that system, gives its group the item that starts the
// removal program, made by Wine's own Program Manager. That Program Manager
// refuses the Revisions item (it looks the whole command line up as one
// file): the notice names it, and the removal item after it still comes.
TEST_P(InstallChecks, OnNt351TheGroupGetsItsRemovalItemFromSetup)
{
    const std::string why = FloppyImage::Unavailable();
    if (!why.empty()) GTEST_SKIP() << "floppy images cannot be mounted: " << why;
    TSTESTKIT_RUN_ON_PRIVATE_DESKTOP();
    ASSERT_NO_FATAL_FAILURE(Prepare(Progman::Wine));
    ASSERT_NO_FATAL_FAILURE(UseImages());
    ReportedWindows setupSystem("SETUP.EXE", BuildNt351.System);
    ReportedWindows installerSystem(BuildNt351.FileName(), BuildNt351.System);
    ASSERT_TRUE(setupSystem.Set() && installerSystem.Set());
    const std::string group = ProgramsFolder() + "\\" + GroupName;
    RemoveTree(group);

    Installer installer{StartedBySetup{}};
    ASSERT_TRUE(installer.WaitForMainWindow());
    InstallEntries entries;
    entries.Target = Target();
    ASSERT_TRUE(InstallThroughDisks(installer, LocalCommand, entries));
    ASSERT_TRUE(installer.Answer(MainWindowTitle, RevisionsRefusedText, IDOK));
    ASSERT_TRUE(installer.Answer("Installation Complete", ExitQuestion, IDYES));
    ASSERT_TRUE(installer.WaitForEnd());
    CloseGroupFolderWindows(5000);

    EXPECT_EQ(Upper(StoredTarget()) + "\\TSWREMOV.EXE", Upper(ShortcutTarget(group + "\\Remove Tessaryn 3.0.lnk")));
    const std::string log = ReadBytes(Join(Target(), "TSW_INST.LOG"));
    EXPECT_NE(std::string::npos, log.find("; Program Manager did not confirm")) << log;
    EXPECT_EQ("; end: complete\r\n", log.substr(log.rfind("; ")));
    RemoveTree(group);
}

// Local and network installations with the same entries give the same files,
// group, marker and options file.
TEST_P(InstallChecks, LocalAndNetworkInstallationsWithTheSameEntriesGiveTheSameResult)
{
    TSTESTKIT_RUN_ON_PRIVATE_DESKTOP();
    ASSERT_NO_FATAL_FAILURE(Prepare(Progman::StandIn));
    InstallEntries entries;
    entries.Target = Target();
    entries.Components = "10110";

    struct Result {
        FileMap Files;
        std::vector<std::string> Executes;
        SavedOptions Options;
    } results[2];
    const int commands[2] = {LocalCommand, NetworkCommand};
    for (int run = 0; run < 2; ++run) {
        SCOPED_TRACE(run == 0 ? "local" : "network");
        const std::size_t executesBefore = Server->Executes().size();
        ASSERT_TRUE(RemoveTree(Target()));
        ::DeleteFileA((DiskFolder(2) + "\\INSTALL.OPT").c_str());
        ASSERT_TRUE(Floppy->Insert(DiskFolder(1))) << Floppy->LastError();

        Installer installer(Build());
        ASSERT_TRUE(installer.WaitForMainWindow());
        ASSERT_TRUE(InstallThroughDisks(installer, commands[run], entries));
        ASSERT_TRUE(installer.Answer("Installation Complete", ExitQuestion, IDYES));
        ASSERT_TRUE(installer.WaitForEnd());

        ASSERT_TRUE(ReadInstalledTree(Target(), results[run].Files));
        std::vector<std::string> executes = Server->Executes();
        results[run].Executes.assign(executes.begin() + executesBefore, executes.end());
        results[run].Options = ReadOptionsFile(DiskFolder(2) + "\\INSTALL.OPT");
    }
    EXPECT_TRUE(SameTree(CompleteInstallation("10110"), results[0].Files));
    EXPECT_TRUE(SameTree(results[0].Files, results[1].Files));
    EXPECT_EQ(GroupCommands(StoredTarget(), SampleProgramItems()), results[0].Executes);
    EXPECT_EQ(results[0].Executes, results[1].Executes);
    for (const Result& result : results) {
        ASSERT_TRUE(result.Options.Valid);
        EXPECT_EQ(StoredTarget(), result.Options.Target);
        EXPECT_EQ("10110", result.Options.Components);
    }
}

// The program component whose lists name no titled ".EXE": no conversation
// with Program Manager, no marker, but the completion question.
TEST_P(InstallChecks, WithoutAProgramItemNoGroupAndNoMarker)
{
    TSTESTKIT_RUN_ON_PRIVATE_DESKTOP();
    ASSERT_NO_FATAL_FAILURE(Prepare(Progman::StandIn, "plain"));
    Installer installer(Build());
    ASSERT_TRUE(installer.WaitForMainWindow());
    InstallEntries entries;
    entries.Target = Target();
    ASSERT_TRUE(InstallThroughDisks(installer, LocalCommand, entries));
    ASSERT_TRUE(installer.Answer("Installation Complete", ExitQuestion, IDNO));
    ASSERT_TRUE(installer.IdleWithoutBoxes());

    EXPECT_EQ(0, Server->Connections());
    FileMap installed;
    ASSERT_TRUE(ReadInstalledTree(Target(), installed));
    EXPECT_TRUE(SameTree(WithRemovalProgram(ReleaseFiles(DataFolder("release"), AllComponents)), installed));
    ASSERT_TRUE(installer.Close());
}

// Data components alone: their files are installed, and the command ends
// without group, marker or question; its log says it is complete.
TEST_P(InstallChecks, DataComponentsOnlyEndWithoutGroupMarkerOrQuestion)
{
    TSTESTKIT_RUN_ON_PRIVATE_DESKTOP();
    ASSERT_NO_FATAL_FAILURE(Prepare(Progman::StandIn));
    Installer installer(Build());
    ASSERT_TRUE(installer.WaitForMainWindow());
    InstallEntries entries;
    entries.Target = Target();
    entries.Components = "01111";
    ASSERT_TRUE(InstallThroughDisks(installer, LocalCommand, entries));
    ASSERT_TRUE(installer.IdleWithoutBoxes());

    EXPECT_EQ(0, Server->Connections());
    const std::string log = ReadBytes(Join(Target(), "TSW_INST.LOG"));
    EXPECT_EQ("; end: complete\r\n", log.substr(log.rfind("; ")));
    FileMap installed;
    ASSERT_TRUE(ReadInstalledTree(Target(), installed));
    EXPECT_TRUE(SameTree(ReleaseFiles(DataFolder("release"), "01111"), installed));
    // The program's directories are made all the same, and stay empty.
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, ::GetFileAttributesA((Target() + "\\LOOKUP").c_str()));
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, ::GetFileAttributesA((Target() + "\\USER_DLL").c_str()));
    ASSERT_TRUE(installer.Close());
}

// Without Program Manager: one notice, and the flow still leaves the marker
// and asks its question.
TEST_P(InstallChecks, WithoutProgramManagerOneNoticeThenMarkerAndQuestion)
{
    TSTESTKIT_RUN_ON_PRIVATE_DESKTOP();
    ASSERT_NO_FATAL_FAILURE(Prepare(Progman::Absent));
    Installer installer(Build());
    ASSERT_TRUE(installer.WaitForMainWindow());
    InstallEntries entries;
    entries.Target = Target();
    ASSERT_TRUE(InstallThroughDisks(installer, LocalCommand, entries));
    ASSERT_TRUE(installer.Answer(MainWindowTitle, NoConversationText, IDOK));
    ASSERT_TRUE(installer.Answer("Installation Complete", ExitQuestion, IDNO));
    ASSERT_TRUE(installer.IdleWithoutBoxes());

    FileMap installed;
    ASSERT_TRUE(ReadInstalledTree(Target(), installed));
    EXPECT_TRUE(SameTree(CompleteInstallation(AllComponents), installed));
    ASSERT_TRUE(installer.Close());
    EXPECT_EQ(NotificationsPosted(), installer.Report().FinishedCount());
}

// A target whose last character is a double-byte one with a backslash as its
// second byte ("表", 95 5C, in code page 932, the ANSI code page of Japanese
// systems): the shipped installer reads it with the system's own lead-byte
// test, and every file lands in that folder. In a Western code page the same
// bytes are "•" and a backslash, and the files land in "•". Its quoted source
// argument ends in that character too: the quote after it ends the argument,
// and the window argument after it is read (the notification arrives).
TEST_P(InstallChecks, ATargetEndingInADoubleByteCharacterHoldsTheFiles)
{
    TSTESTKIT_RUN_ON_PRIVATE_DESKTOP();
    if (const char* asked = std::getenv("TSINST_EXPECTED_ACP")) {
        ASSERT_EQ(std::strtoul(asked, nullptr, 10), ::GetACP());
    }
    ASSERT_NO_FATAL_FAILURE(Prepare(Progman::StandIn));
    Installer installer(Build(), std::string(), "A:\\TSW 3.0\\\x95\x5c");
    ASSERT_TRUE(installer.WaitForMainWindow());
    InstallEntries entries;
    entries.Target = *Work / "\x95\x5c";
    entries.Components = "10000";
    ASSERT_TRUE(InstallThroughDisks(installer, LocalCommand, entries));
    ASSERT_TRUE(installer.Answer("Installation Complete", ExitQuestion, IDNO));
    ASSERT_TRUE(installer.IdleWithoutBoxes());

    FileMap installed;
    ASSERT_TRUE(ReadInstalledTree(entries.Target + "\\", installed));
    EXPECT_TRUE(SameTree(CompleteInstallation("10000"), installed));
    ASSERT_TRUE(installer.Close());
    EXPECT_EQ(NotificationsPosted(), installer.Report().FinishedCount());
}

// A refused directory stays what the dialog shows next, upper-cased, after
// Cancel; the options file keeps it at exit.
TEST_P(InstallChecks, ARefusedDirectoryIsWhatTheNextDialogShows)
{
    TSTESTKIT_RUN_ON_PRIVATE_DESKTOP();
    ASSERT_NO_FATAL_FAILURE(Prepare(Progman::StandIn));
    Installer installer(Build());
    ASSERT_TRUE(installer.WaitForMainWindow());
    HWND dialog = nullptr;
    ASSERT_TRUE(installer.OpenDialog(LocalCommand, LocalDialogTitle, dialog));
    InstallEntries entries;
    entries.Target = "a:\\tsw30";
    entries.Components = "01000";
    ASSERT_TRUE(FillInstallDialog(dialog, entries));
    PressButton(dialog, IDOK);
    ASSERT_TRUE(installer.Answer("Installation Error", "Install to Directory Not Valid", IDOK));
    ASSERT_TRUE(::IsWindow(dialog)) << "the dialog stays open after a refused entry";
    ASSERT_TRUE(installer.Press(dialog, IDCANCEL));

    ASSERT_TRUE(installer.OpenDialog(LocalCommand, LocalDialogTitle, dialog));
    InstallEntries offered = ReadInstallDialog(dialog);
    EXPECT_EQ("A:\\TSW30", offered.Target);
    EXPECT_EQ(AllComponents, offered.Components) << "the boxes are stored only by an accepted Install";
    ASSERT_TRUE(installer.Press(dialog, IDCANCEL));
    ASSERT_TRUE(installer.Close());

    SavedOptions options = ReadOptionsFile(DiskFolder(1) + "\\INSTALL.OPT");
    ASSERT_TRUE(options.Valid);
    EXPECT_EQ("A:\\TSW30", options.Target);
    EXPECT_EQ(AllComponents, options.Components);
}

// All boxes cleared: the dialog accepts it and the driver reports that there
// is nothing to install, before any directory or prompt.
TEST_P(InstallChecks, NothingSelectedIsNothingToInstall)
{
    TSTESTKIT_RUN_ON_PRIVATE_DESKTOP();
    ASSERT_NO_FATAL_FAILURE(Prepare(Progman::StandIn));
    Installer installer(Build());
    ASSERT_TRUE(installer.WaitForMainWindow());
    InstallEntries entries;
    entries.Target = Target();
    entries.Components = "00000";
    ASSERT_TRUE(SubmitInstallDialog(installer, LocalCommand, entries));
    ASSERT_TRUE(installer.Answer("Installation Error", "Nothing to Install", IDOK));
    ASSERT_TRUE(installer.IdleWithoutBoxes());
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, ::GetFileAttributesA(Target().c_str()));
    ASSERT_TRUE(installer.Close());

    SavedOptions options = ReadOptionsFile(DiskFolder(1) + "\\INSTALL.OPT");
    ASSERT_TRUE(options.Valid);
    EXPECT_EQ("00000", options.Components);
}

// A site's installation point: SETUP.EXE /A copies the release's two floppy
// images into a folder, asking for disk 2 as the installer does, each file
// as it is on its disk and one checksum list with both disks' lines. From a
// drive letter mapped to the point, SETUP.EXE /Q installs every component
// that the point's INSTALL.OPT names, where it names, with no disk prompt and
// no window that waits (the run ends by itself), and ends with exit code 0.
TEST_P(InstallChecks, AnUnattendedInstallationFromAPointMadeFromTheFloppyImages)
{
    const std::string why = FloppyImage::Unavailable();
    if (!why.empty()) GTEST_SKIP() << "floppy images cannot be mounted: " << why;
    TSTESTKIT_RUN_ON_PRIVATE_DESKTOP();
    ASSERT_NO_FATAL_FAILURE(Prepare(Progman::StandIn));
    ASSERT_NO_FATAL_FAILURE(UseImages());
    ReportedWindows system("SETUP.EXE", Build().System);
    auto startSetup = [](const std::string& setup, const std::vector<std::string>& arguments) {
        return std::make_unique<LauncherRun>(SetupRun(setup, arguments));
    };

    const std::string point = *Work / "POINT";
    auto making = startSetup("A:\\SETUP.EXE", {"/A", point});
    // The installer SETUP.EXE started asks, from its copy on the hard disk.
    HWND box;
    ASSERT_TRUE(WaitForWindow(BoxTitled(DiskPromptTitle), box, 120000));
    EXPECT_EQ("Place Program Disk 2 in Drive A", MessageBoxText(box));
    ASSERT_TRUE(InsertDisk(2)());
    PressButton(box, IDOK);
    ASSERT_TRUE(WaitForWindow(BoxTitled("Tessaryn 3.0 Setup"), box, 120000));
    EXPECT_EQ(point + " is an installation point now.", MessageBoxText(box));
    PressButton(box, IDOK);
    ASSERT_TRUE(making->WaitForEnd(60000));
    EXPECT_EQ(0u, making->Report().InstallerExitCode);
    // CHECKSUM.LST, the one name both hold: disk 1's lines, then disk 2's.
    FileMap both = TakeTree(DiskFolder(1));
    for (const auto& file : TakeTree(DiskFolder(2))) both[file.first] += file.second;
    EXPECT_TRUE(SameTree(both, TakeTree(point)));

    ASSERT_TRUE(WriteFileBytes(point + "\\INSTALL.OPT", OptionsFileBytes(StoredTarget(), AllComponents)));
    MappedDrive drive("TUVWXY", point);
    ASSERT_NE(0, drive.Drive()) << "drives T: to Y: are all taken in this prefix";
    auto quiet = startSetup(std::string(1, drive.Drive()) + ":\\SETUP.EXE", {"/Q"});
    ASSERT_TRUE(quiet->WaitForEnd(180000));
    EXPECT_EQ(0u, quiet->Report().InstallerExitCode) << "SETUP.EXE's exit code";
    EXPECT_TRUE(SameTree(CompleteInstallation(AllComponents, true), TreeOf(Target())));
    EXPECT_EQ(GroupCommands(StoredTarget(), SampleProgramItems()), Server->Executes());
    EXPECT_EQ(StoredTarget(), ReadOptionsFile(point + "\\INSTALL.OPT").Target) << "the point's answers stay";
    // The log in the installation's folder names each file it installed and how the run ended.
    const std::string log = ReadBytes(Join(Target(), "TSW_INST.LOG"));
    for (const auto& file : CompleteInstallation(AllComponents)) {
        if (file.first != "TSW_FILE.CHK") {  // the installation's own marker, not a file of the disks
            EXPECT_NE(std::string::npos, log.find(" to " + Join(StoredTarget(), file.first) + "\r\n")) << file.first;
        }
    }
    EXPECT_EQ("; end: complete\r\n", log.substr(log.rfind("; ")));

    // Again without Program Manager: the notice ends the run, and so does its log.
    Server->Stop();
    auto again = startSetup(std::string(1, drive.Drive()) + ":\\SETUP.EXE", {"/Q"});
    ASSERT_TRUE(again->WaitForEnd(180000));
    EXPECT_EQ(100u, again->Report().InstallerExitCode) << "SETUP.EXE's exit code";
    const std::string second = ReadBytes(Join(Target(), "TSW_INST.LOG"));
    EXPECT_EQ("; end: notice\r\n", second.substr(second.rfind("; ")));
}

// A report ends an unattended run instead of waiting for a person: the
// installer tells SETUP.EXE, which ends with the installer's exit code, the
// message's number, here 16 "Directory Creation Error" for a target whose
// name a file already holds.
TEST_P(InstallChecks, AnUnattendedRunEndsAtItsFirstReportWithItsNumber)
{
    TSTESTKIT_RUN_ON_PRIVATE_DESKTOP();
    ASSERT_NO_FATAL_FAILURE(Prepare(Progman::StandIn, "images"));
    ASSERT_TRUE(WriteFileBytes(Target(), "a file, not a folder"));
    ASSERT_TRUE(WriteFileBytes(DiskFolder(1) + "\\INSTALL.OPT", OptionsFileBytes(StoredTarget(), AllComponents)));
    ReportedWindows system("SETUP.EXE", Build().System);
    LauncherRun run(SetupRun("A:\\SETUP.EXE", {"/Q"}));
    ASSERT_TRUE(run.WaitForEnd(180000));
    EXPECT_EQ(16u, run.Report().InstallerExitCode) << "SETUP.EXE's exit code";
    EXPECT_TRUE(Server->Executes().empty());
}

// SETUP.EXE /A refuses a folder it must not fill, with a box that names it and
// exit code 1, leaving what was there as it was; a disk file that differs from
// its checksum line ends the point at that file.
TEST_P(InstallChecks, APointIsRefusedWhereItWouldCopyIntoItselfOrOverFilesOrCopyADamagedFile)
{
    TSTESTKIT_RUN_ON_PRIVATE_DESKTOP();
    ASSERT_NO_FATAL_FAILURE(Prepare(Progman::StandIn, "images"));
    ReportedWindows system("SETUP.EXE", Build().System);
    MappedDrive disk1("TUVWXY", DiskFolder(1));
    ASSERT_NE(0, disk1.Drive()) << "drives T: to Y: are all taken in this prefix";
    const std::string throughDrive = std::string(1, disk1.Drive()) + ":\\POINT";
    const std::string held = *Work / "HELD";
    ASSERT_TRUE(::CreateDirectoryA(held.c_str(), nullptr) && WriteFileBytes(held + "\\MINE.TXT", "mine"));
    const std::string damaged = *Work / "DAMAGED";
    const struct {
        const char* Name;
        std::string Folder;
        std::function<void()> Plant;
        std::string Box;
    } rows[] = {
        {"inside disk 1 through another drive letter", throughDrive, [] {},
         "SETUP.EXE could not make " + throughDrive + ":\nIt is inside the disk that is copied."},
        {"a folder holding a person's file", held, [] {},
         "SETUP.EXE could not make " + held + ":\nIt holds files, and it is no earlier installation point."},
        {"a file of the disk changed, its length right", damaged,
         [&] {
             std::string packed = ReadBytes(DiskFolder(1) + "\\TSW.EX_");
             ASSERT_TRUE(packed.size() > 15 && (packed[14] & 1)) << "the first item after the header is a literal";
             packed[15] ^= 1;
             ASSERT_TRUE(WriteFileBytes(DiskFolder(1) + "\\TSW.EX_", packed));
         },
         "SETUP.EXE could not copy A:\\TSW.EX_:\n" + SystemReason(ERROR_CRC)},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.Name);
        ASSERT_NO_FATAL_FAILURE(row.Plant());
        const FileMap before = TakeTree(row.Folder);
        LauncherRun making(SetupRun("A:\\SETUP.EXE", {"/A", row.Folder}));
        HWND box;
        ASSERT_TRUE(WaitForWindow(BoxTitled("Tessaryn 3.0 Setup"), box, 120000));
        EXPECT_EQ(row.Box, MessageBoxText(box));
        PressButton(box, IDOK);
        ASSERT_TRUE(making.WaitForEnd(60000));
        EXPECT_EQ(1u, making.Report().InstallerExitCode);
        if (row.Folder != damaged) {
            EXPECT_TRUE(SameTree(before, TakeTree(row.Folder)));
        }
    }
}

// SETUP.EXE /A on a maintenance update's disk makes a point of the update set:
// one disk, no disk 2 asked for, its files as they are.
TEST_P(InstallChecks, AnUpdatePointIsMadeFromTheUpdateSetsImage)
{
    const std::string why = FloppyImage::Unavailable();
    if (!why.empty()) GTEST_SKIP() << "floppy images cannot be mounted: " << why;
    TSTESTKIT_RUN_ON_PRIVATE_DESKTOP();
    ASSERT_NO_FATAL_FAILURE(Prepare(Progman::StandIn));
    FloppyImage update(DataFolder("update-setup.img"));
    ASSERT_TRUE(update.Mounted()) << update.LastError();
    ASSERT_TRUE(Floppy->Insert(update.Folder())) << Floppy->LastError();
    ReportedWindows system("SETUP.EXE", Build().System);

    const std::string point = *Work / "UPDATE";
    LauncherRun making(SetupRun("A:\\SETUP.EXE", {"/A", point}));
    HWND box;
    ASSERT_TRUE(WaitForWindow(BoxTitled("Tessaryn 3.0 Setup"), box, 120000));
    EXPECT_EQ(point + " is an installation point now.", MessageBoxText(box));
    PressButton(box, IDOK);
    ASSERT_TRUE(making.WaitForEnd(60000));
    EXPECT_EQ(0u, making.Report().InstallerExitCode);
    EXPECT_TRUE(SameTree(TakeTree(update.Folder()), TakeTree(point)));
}

INSTANTIATE_TEST_SUITE_P(Builds, InstallFlow, ::testing::Values(Build95, BuildNt), BuildName);
INSTANTIATE_TEST_SUITE_P(Builds, InstallChecks, ::testing::Values(BuildNt), BuildName);
INSTANTIATE_TEST_SUITE_P(Builds, RetryFlow, ::testing::Values(Build95), BuildName);
