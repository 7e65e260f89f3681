// SETUP.EXE, started as a person starts it: from the root of disk 1 in drive
// A:, with no arguments, Wine reporting Windows 95, NT 4.0 or NT 3.51 to it.
// Disk 1 is the release's own (tests/test_data.sh), whose installers, under
// both builds' compressed names, are the recording probe
// (probe/InstallerProbe.cpp), which writes how it was started.
#include "tests/e2e/FlowFixture.h"
#include "tests/e2e/Installers.h"
#include "tests/e2e/ProgramPaths.h"

#include "engine/plain/Crc32.h"
#include "tests/kit/DiskSet.h"
#include "tests/kit/FileBytes.h"
#include "tests/kit/FileTree.h"
#include "tests/kit/GuiDriver.h"
#include "tests/kit/ReportedWindows.h"
#include "tests/kit/UnixBridge.h"
#include "tests/kit/WindowFinder.h"

#include <cstdio>
#include <functional>
#include <map>
#include <sstream>

namespace {
constexpr const char* SetupBoxTitle = "Tessaryn 3.0 Setup";
// How long a run of SETUP.EXE may take to show a window and to end: it is a
// 32-bit Wine process of its own, which expands the installer and starts it,
// another process. On a machine loaded by other builds the kit's 10 s for a
// window and 30 s for an end have not been enough (a box after more than 10 s
// at a load of 5 to 6).
constexpr DWORD SetupWaitMs = 60000;

struct ReportedSystem {
    const char* Name;
    const char* WineVersion;
    const char* Installer;  // the build SETUP.EXE must start
};
std::ostream& operator<<(std::ostream& out, const ReportedSystem& system)
{
    return out << system.Name;
}

using ProbeRecord = std::map<std::string, std::string>;

std::string FolderOf(const std::string& path)
{
    return path.substr(0, path.find_last_of('\\'));
}

// Disk 1 as the release has it, with the probe for the installer, in drive
// A:; SETUP.EXE told the system of the test.
class SetupOnDisk1 : public ::testing::Test {
protected:
    void Prepare(const char* wineVersion)
    {
        std::string why = ShippedExecutablesUnavailable();
        if (!why.empty()) GTEST_SKIP() << "32-bit programs cannot start on this machine: " << why;
        System = std::make_unique<ReportedWindows>("SETUP.EXE", wineVersion);
        ASSERT_TRUE(System->Set()) << "registry error " << System->Error();
        const std::string release = flow::DataFolder("images\\disk1");
        ASSERT_TRUE(CopyTree(release, Disk.Path())) << "no disk 1 of the release at " << release;
        ASSERT_TRUE(ReadFileBytes(ToWindowsPath(InstallerProbeUnixPath), Probe));
        for (const char* name : {"TSINST95.EXE", "TSINSTNT.EXE"}) ASSERT_NO_FATAL_FAILURE(PutInSetup(name, Probe));
        ASSERT_TRUE(Floppy.Available()) << Floppy.LastError();
        ASSERT_TRUE(Floppy.Insert(Disk.Path())) << Floppy.LastError();
        ::SetEnvironmentVariableA("TSINST_PROBE_REPORT", (Work / "probe.txt").c_str());
        Before = SetupTemporaryFolders();
    }
    void TearDown() override
    {
        ::SetEnvironmentVariableA("TSINST_PROBE_REPORT", nullptr);
        ::SetEnvironmentVariableA("TSINST_PROBE_MODE", nullptr);
    }

    void ProbeMode(const char* mode) { ::SetEnvironmentVariableA("TSINST_PROBE_MODE", mode); }
    std::string SetupFolder() const { return Disk / "SETUP"; }

    // `bytes` compressed as SETUP's `name`, with its row added to SETUP's checksum list.
    void PutInSetup(const std::string& name, const std::string& bytes)
    {
        char row[80];
        std::snprintf(row, sizeof row, "%08X %u %s\r\n", Crc32(0, bytes.data(), bytes.size()), unsigned(bytes.size()),
                      CompressedFileName(name).c_str());
        const std::string list = SetupFolder() + "\\CHECKSUM.LST";
        ASSERT_TRUE(WriteCompressed(SetupFolder(), name, bytes) && WriteFileBytes(list, ReadBytes(list) + row));
    }

    // Disk 1 of an older release, its files in SETUP as they are.
    void MakePlainDisk1()
    {
        for (const std::string& name : Names(SetupFolder())) ASSERT_TRUE(::DeleteFileA((SetupFolder() + "\\" + name).c_str()));
        for (const char* name : {"TSINST95.EXE", "TSINSTNT.EXE"})
            ASSERT_TRUE(WriteFileBytes(SetupFolder() + "\\" + name, Probe));
        ASSERT_TRUE(WriteFileBytes(SetupFolder() + "\\INSTALL.EMF", "picture"));
        ASSERT_TRUE(WriteFileBytes(SetupFolder() + "\\TSW_INST.HLP", "help"));
    }

    // A:\SETUP.EXE with no arguments, through the launcher stand-in, which
    // reports its exit code.
    std::unique_ptr<LauncherRun> StartSetup(const std::vector<std::string>& environment = {},
                                            const std::string& setupPath = "A:\\SETUP.EXE")
    {
        LauncherSetup setup;
        setup.Installer = setupPath;
        setup.Raw = true;
        setup.Environment = environment;
        return std::make_unique<LauncherRun>(setup);
    }

    std::vector<ProbeRecord> ProbeRecords()
    {
        std::vector<ProbeRecord> records(1);
        std::istringstream text(ReadBytes(Work / "probe.txt"));
        for (std::string line; std::getline(text, line);) {
            std::size_t equals = line.find('=');
            if (equals == std::string::npos) {
                if (!records.back().empty()) records.emplace_back();
            } else {
                records.back()[line.substr(0, equals)] = line.substr(equals + 1);
            }
        }
        if (records.back().empty()) records.pop_back();
        return records;
    }

    // Nothing of SETUP.EXE is left in the temporary folder.
    void ExpectNoTemporaryFolderLeft() { EXPECT_EQ(Before, SetupTemporaryFolders()); }

    TempFolder Disk{"e2e-setup"};
    TempFolder Work{"e2e-setup-work"};
    FloppyDrive Floppy;
    std::unique_ptr<ReportedWindows> System;
    std::set<std::string> Before;
    std::string Probe;
};

class Setup : public SetupOnDisk1, public ::testing::WithParamInterface<ReportedSystem> {
protected:
    void SetUp() override { Prepare(GetParam().WineVersion); }
};
}

// The build for the system, expanded into a folder of SETUP.EXE's own under
// the temporary folder, which is its current directory and holds the
// picture and the help file; the contract's command line; the copy removed
// after the installer's end, which comes a while after its notification.
TEST_P(Setup, StartsTheSystemsBuildFromATemporaryCopyAndRemovesIt)
{
    ProbeMode("linger");
    auto run = StartSetup();
    ASSERT_TRUE(run->WaitForEnd(SetupWaitMs));
    EXPECT_EQ(0u, run->Report().InstallerExitCode);

    std::vector<ProbeRecord> records = ProbeRecords();
    ASSERT_EQ(1u, records.size());
    ProbeRecord& probe = records[0];
    char temporary[MAX_PATH] = {};
    ::GetTempPathA(sizeof temporary, temporary);
    ::GetShortPathNameA(temporary, temporary, sizeof temporary);
    const std::string folder = FolderOf(probe["program"]);
    EXPECT_EQ(std::string(temporary), folder.substr(0, folder.find_last_of('\\') + 1))
        << "started from " << probe["program"];
    EXPECT_EQ(folder + "\\" + GetParam().Installer, probe["program"]);
    EXPECT_EQ(folder, probe["directory"]);
    // The picture, which the main window loads; the help follows the main
    // window (see TheReleasesDisk1...), which the probe here does not show.
    EXPECT_EQ("INSTALL.EMF", probe["companions"]);
    const std::string start = "\"" + probe["program"] + "\" A:\\ ";
    ASSERT_EQ(start, probe["line"].substr(0, start.size()));
    // The window in hex, which the notification reached (exit code 0).
    EXPECT_GT(probe["line"].size(), start.size());
    EXPECT_EQ(std::string::npos, probe["line"].find_first_not_of("0123456789ABCDEF", start.size())) << probe["line"];
    EXPECT_FALSE(FileExists(folder));
    ExpectNoTemporaryFolderLeft();
}

// An installer that ends without its notification, as after a crash: the
// copy goes all the same and SETUP.EXE says so by its exit code. A disk
// without the help file is no fault: the picture alone comes along.
TEST_P(Setup, InstallerEndingWithoutNotificationStillLeavesNothing)
{
    ASSERT_TRUE(::DeleteFileA((SetupFolder() + "\\TSW_INST.HL_").c_str()));
    ProbeMode("untold");
    auto run = StartSetup();
    ASSERT_TRUE(run->WaitForEnd(SetupWaitMs));
    EXPECT_EQ(2u, run->Report().InstallerExitCode);
    std::vector<ProbeRecord> records = ProbeRecords();
    ASSERT_EQ(1u, records.size());
    EXPECT_EQ("INSTALL.EMF", records[0]["companions"]);
    ExpectNoTemporaryFolderLeft();
}

// Where TEMP cannot take the copy (missing, or on a floppy drive: A:, the
// source drive, where GetTempPath points when TMP and TEMP are unset and the
// current directory is A:\\, or a second floppy drive B:), the installer
// runs from the Windows TEMP folder on the hard disk, never from the floppy;
// nothing is written to the disk. A disk 1 with the plain files of an older
// release starts the same way.
TEST_P(Setup, WhereTempCannotTakeTheCopyTheInstallerRunsFromTheWindowsTempFolder)
{
    ASSERT_EQ(static_cast<UINT>(DRIVE_REMOVABLE), ::GetDriveTypeA("B:\\")) << "B: is no floppy drive in this prefix";
    ProbeMode("notify");
    std::size_t runs = 0;
    const struct {
        bool Plain;
        std::string Temporary;
    } rows[] = {{false, "C:\\NoSuchFolder"}, {false, "A:\\"}, {false, "B:\\"}, {true, "A:\\"}};
    for (const auto& row : rows) {
        if (row.Plain) {
            ASSERT_NO_FATAL_FAILURE(MakePlainDisk1());
        }
        const FileMap before = TakeTree(Disk.Path());
        auto run = StartSetup({"TMP=" + row.Temporary, "TEMP=" + row.Temporary});
        ASSERT_TRUE(run->WaitForEnd(SetupWaitMs));
        EXPECT_EQ(0u, run->Report().InstallerExitCode) << row.Temporary;
        std::vector<ProbeRecord> records = ProbeRecords();
        ASSERT_EQ(++runs, records.size()) << row.Temporary;
        ProbeRecord& probe = records.back();
        const std::string folder = FolderOf(probe["program"]);
        EXPECT_EQ(WindowsTemporaryFolder(), FolderOf(folder)) << row.Temporary << ": started " << probe["program"];
        EXPECT_EQ(folder + "\\" + GetParam().Installer, probe["program"]);
        EXPECT_EQ("INSTALL.EMF", probe["companions"]) << row.Temporary;
        const std::string start = "\"" + probe["program"] + "\" A:\\ ";
        EXPECT_EQ(start, probe["line"].substr(0, start.size()));
        EXPECT_EQ(std::vector<std::string>(), TreeDifferences(before, TakeTree(Disk.Path()))) << row.Temporary;
    }
    ExpectNoTemporaryFolderLeft();
}

// The box names the copy that was started and fills the platform's reason
// ("Bad EXE format for %1.") with its name.
TEST_P(Setup, AnInstallerThatIsNoProgramIsNamedInTheReason)
{
    ASSERT_NO_FATAL_FAILURE(PutInSetup(GetParam().Installer, std::string(4096, 'x')));
    auto run = StartSetup();
    HWND box;
    ASSERT_TRUE(WaitForWindow(BoxTitled(SetupBoxTitle, run->InstallerProcessId(SetupWaitMs)), box, SetupWaitMs));
    const std::string text = MessageBoxText(box);
    ASSERT_EQ("Cannot start ", text.substr(0, 13)) << text;
    const std::string copy = text.substr(13, text.find(":\n") - 13);
    EXPECT_NE(std::string::npos, copy.find(".TMP\\" + std::string(GetParam().Installer))) << text;
    EXPECT_NE(std::string::npos, text.find(copy, copy.size() + 14)) << text;
    EXPECT_EQ(std::string::npos, text.find('%')) << text;
    PressButton(box, IDOK);
    ASSERT_TRUE(run->WaitForEnd(SetupWaitMs));
    EXPECT_EQ(1u, run->Report().InstallerExitCode);
}

// What SETUP.EXE cannot start from: a missing installer; one with a byte
// changed, its length still right (only SETUP's checksum list tells); no
// folder on a hard disk that takes the copy (TEMP on the floppy, the Windows
// TEMP folder and C:\ refusing new files; a disk 1 with the installer as it
// is, which could be started from the floppy). A box says which and why; no
// installer starts, from a copy or from the floppy, and nothing is left.
TEST_P(Setup, WhatCannotStartGetsABoxAndNothingStarts)
{
    const std::string installer = GetParam().Installer, compressed = CompressedFileName(installer);
    std::string changed = Probe;
    changed[changed.size() / 2] ^= 1;
    const std::string temporary = ToUnixPath(WindowsTemporaryFolder()), root = ToUnixPath("C:\\");
    const struct {
        const char* What;
        std::function<void()> Damage;
        std::string Begins, Says;  // the box's text, and what its reason says
        std::vector<std::string> Environment;
    } rows[] = {
        {"missing", [&] { ::DeleteFileA((SetupFolder() + "\\" + compressed).c_str()); },
         "Cannot start A:\\SETUP\\" + installer + ":\n", "", {}},
        {"a byte changed", [&] { WriteCompressed(SetupFolder(), installer, changed); },
         "Cannot start A:\\SETUP\\" + compressed + ":\n", "corrupt", {}},
        {"no folder takes it", [&] { MakePlainDisk1(), RunUnixShell("chattr +i \"$1\" \"$2\"", {temporary, root}); },
         "SETUP.EXE could not write the installer", "C:\\: ", {"TMP=A:\\", "TEMP=A:\\"}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.What);
        row.Damage();
        auto run = StartSetup(row.Environment);
        HWND box;
        const bool shown = WaitForWindow(BoxTitled(SetupBoxTitle, run->InstallerProcessId(SetupWaitMs)), box, SetupWaitMs);
        const std::string text = shown ? MessageBoxText(box) : "";
        if (shown) PressButton(box, IDOK);
        const bool ended = run->WaitForEnd(SetupWaitMs);
        RunUnixShell("chattr -i \"$1\" \"$2\"", {temporary, root});
        ASSERT_TRUE(shown && ended);
        EXPECT_EQ(row.Begins, text.substr(0, row.Begins.size())) << text;
        EXPECT_NE(std::string::npos, text.find(row.Says, row.Begins.size())) << text;
        EXPECT_GT(text.size(), row.Begins.size()) << "no reason given";
        EXPECT_EQ(1u, run->Report().InstallerExitCode);
        EXPECT_TRUE(ProbeRecords().empty()) << "an installer started";
        ExpectNoTemporaryFolderLeft();
        ASSERT_NO_FATAL_FAILURE(PutInSetup(installer, Probe));
    }
}

// A second SETUP.EXE brings the running installer to the front and ends;
// no second installer starts.
TEST_P(Setup, SecondSetupBringsTheRunningInstallerToTheFront)
{
    ProbeMode("window");
    auto first = StartSetup();
    HWND main;
    ASSERT_TRUE(WaitForWindow({MainWindowTitle, "TsFrameWindow", 0}, main, SetupWaitMs));
    WNDCLASSA wc = {};
    wc.lpfnWndProc = ::DefWindowProcA;
    wc.hInstance = ::GetModuleHandleA(nullptr);
    wc.lpszClassName = "E2eOtherWindow";
    ::RegisterClassA(&wc);
    HWND other = ::CreateWindowA(wc.lpszClassName, "Another program", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200,
                                 100, nullptr, nullptr, wc.hInstance, nullptr);
    ::SetForegroundWindow(other);
    ASSERT_NE(main, ::GetForegroundWindow());

    auto second = StartSetup();
    ASSERT_TRUE(second->WaitForEnd(SetupWaitMs));
    EXPECT_EQ(0u, second->Report().InstallerExitCode);
    EXPECT_EQ(main, ::GetForegroundWindow());
    ::DestroyWindow(other);

    PostClose(main);
    ASSERT_TRUE(first->WaitForEnd(SetupWaitMs));
    EXPECT_EQ(0u, first->Report().InstallerExitCode);
    EXPECT_EQ(1u, ProbeRecords().size());
    ExpectNoTemporaryFolderLeft();
}

INSTANTIATE_TEST_SUITE_P(Systems, Setup,
                         ::testing::Values(ReportedSystem{"Win95", "win95", "TSINST95.EXE"},
                                           ReportedSystem{"Nt40", "nt40", "TSINSTNT.EXE"},
                                           ReportedSystem{"Nt351", "nt351", "TSINSTNT.EXE"}),
                         [](const ::testing::TestParamInfo<ReportedSystem>& info) { return info.param.Name; });

// Started from a folder that is not a drive's root, SETUP.EXE first asks
// whether to go on: No starts nothing, Yes starts the installer with that
// folder as its source, from its copy under the temporary folder (a hard
// disk, the folder's own drive).
TEST_F(SetupOnDisk1, FromAFolderAsksFirstWhetherToGoOn)
{
    ASSERT_NO_FATAL_FAILURE(Prepare("win95"));
    if (IsSkipped()) return;
    const std::string folder = Work / "DISK1";
    ASSERT_TRUE(CopyTree(Disk.Path(), folder));
    ProbeMode("notify");
    for (int answer : {IDNO, IDYES}) {
        auto run = StartSetup({}, folder + "\\SETUP.EXE");
        HWND box;
        ASSERT_TRUE(WaitForWindow(BoxTitled(SetupBoxTitle, run->InstallerProcessId(SetupWaitMs)), box, SetupWaitMs));
        EXPECT_EQ("SETUP.EXE was started from " + folder + ", which is not the root of a drive.\n\nAn installation "
                  "will ask for the program disks in the root of drive " + folder.substr(0, 2) +
                  ". A maintenance update from this folder works as usual.\n\nContinue?", MessageBoxText(box));
        PressButton(box, answer);
        ASSERT_TRUE(run->WaitForEnd(SetupWaitMs));
        EXPECT_EQ(answer == IDNO ? 1u : 0u, run->Report().InstallerExitCode);
    }
    std::vector<ProbeRecord> records = ProbeRecords();
    ASSERT_EQ(1u, records.size()) << "No started nothing";
    const std::string start = "\"" + records[0]["program"] + "\" " + folder + "\\ ";
    EXPECT_EQ(start, records[0]["line"].substr(0, start.size()));
    EXPECT_NE(std::string::npos, records[0]["program"].find(".TMP\\TSINST95.EXE")) << records[0]["program"];
}

// Win32s on Windows 3.1 runs neither build: a box says what is needed.
using SetupOnWin32s = SetupOnDisk1;
TEST_F(SetupOnWin32s, SaysWhichSystemIsNeededAndStartsNothing)
{
    ASSERT_NO_FATAL_FAILURE(Prepare("win31"));
    if (IsSkipped()) return;
    auto run = StartSetup();
    HWND box;
    ASSERT_TRUE(WaitForWindow(BoxTitled(SetupBoxTitle, run->InstallerProcessId(SetupWaitMs)), box, SetupWaitMs));
    EXPECT_EQ("Tessaryn 3.0 needs Windows 95 or Windows NT.", MessageBoxText(box));
    PressButton(box, IDOK);
    ASSERT_TRUE(run->WaitForEnd(SetupWaitMs));
    EXPECT_EQ(1u, run->Report().InstallerExitCode);
    EXPECT_TRUE(ProbeRecords().empty());
    ExpectNoTemporaryFolderLeft();
}

