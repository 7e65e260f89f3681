// Tessaryn removed as a person removes it: after an installation of every
// component and a maintenance update, with a file of the person's own and a
// changed lookup file in the folder, the removal program the installation
// put there is started with no arguments (as Add/Remove Programs and the
// group's item start it), told its system as the installer was. Only the
// person's two files stay (and the removal program, until the system's next
// start); the group and the registration are gone.
#include "tests/e2e/FlowFixture.h"

#include "tests/kit/FileBytes.h"
#include "tests/kit/GuiDriver.h"
#include "tests/kit/ReportedWindows.h"
#include "tests/kit/WindowFinder.h"

#include <shlobj.h>
#include <shlwapi.h>

using namespace flow;

namespace {
using Removal = FlowTest;

const char* const RemovalTitle = "Tessaryn 3.0 Removal";
const char* const UninstallKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tessaryn 3.0";

// The command Add/Remove Programs starts, from the registration in the
// registry's view of the tests' own build (PE32+, as this program is);
// empty when there is none.
std::string UninstallCommand()
{
    HKEY key = nullptr;
    char command[MAX_PATH + 3] = {};
    DWORD size = sizeof command - 1;
    if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, UninstallKey, 0, KEY_QUERY_VALUE, &key) !=
        ERROR_SUCCESS)
        return std::string();
    if (::RegQueryValueExA(key, "UninstallString", nullptr, nullptr, reinterpret_cast<BYTE*>(command), &size) !=
        ERROR_SUCCESS)
        command[0] = '\0';
    ::RegCloseKey(key);
    return command;
}

std::string GroupFolder()
{
    char path[MAX_PATH] = {};
    ::SHGetFolderPathA(nullptr, CSIDL_PROGRAMS, nullptr, 0, path);
    return std::string(path) + "\\" + GroupName;
}

// What the system deletes at its next start, WININIT.INI's text (Windows 95)
// and the pending renames (NT); forgotten, so that none outlives the test.
std::string TakeDeletionsAtStart()
{
    const std::string wininit = WindowsDirectory() + "\\WININIT.INI";
    const char* const manager = "System\\CurrentControlSet\\Control\\Session Manager";
    std::string text;
    ReadFileBytes(wininit, text);
    ::DeleteFileA(wininit.c_str());
    char pending[4096] = {};
    DWORD size = sizeof pending;
    if (::SHGetValueA(HKEY_LOCAL_MACHINE, manager, "PendingFileRenameOperations", nullptr, pending, &size)) size = 0;
    ::SHDeleteValueA(HKEY_LOCAL_MACHINE, manager, "PendingFileRenameOperations");
    return Upper(text + std::string(pending, size));
}
}

TEST_P(Removal, AfterAnInstallationAndAnUpdateOnlyThePersonsFilesStay)
{
    TSTESTKIT_RUN_ON_PRIVATE_DESKTOP();
    ASSERT_NO_FATAL_FAILURE(Prepare(Progman::Wine));
    TakeDeletionsAtStart();
    {
        Installer installer(Build());
        ASSERT_TRUE(installer.WaitForMainWindow());
        InstallEntries entries;
        entries.Target = Target();
        ASSERT_TRUE(InstallThroughDisks(installer, LocalCommand, entries));
        ASSERT_TRUE(installer.Answer(MainWindowTitle, RevisionsRefusedText, IDOK));
        ASSERT_TRUE(installer.Answer("Installation Complete", ExitQuestion, IDNO));
        const std::string update = *Work / "update";
        ASSERT_TRUE(CopyTree(DataFolder("update"), update));
        HWND dialog = nullptr;
        ASSERT_TRUE(installer.OpenDialog(UpdateCommand, UpdateDialogTitle, dialog));
        ASSERT_TRUE(SetControlText(dialog, UpdateTargetField, Target()));
        ASSERT_TRUE(SetControlText(dialog, UpdateSourceField, update));
        ASSERT_TRUE(installer.Press(dialog, IDOK));
        ASSERT_TRUE(installer.Answer(MainWindowTitle, RevisionsRefusedText, IDOK));
        ASSERT_TRUE(installer.Answer("Maintenance Update Complete", ExitQuestion, IDYES));
        ASSERT_TRUE(installer.WaitForEnd());
    }
    CloseGroupFolderWindows(5000);
    ASSERT_TRUE(IsDirectory(GroupFolder()));
    std::string command = UninstallCommand();
    const std::string remover = StoredTarget() + "\\TSWREMOV.EXE";
    ASSERT_EQ(remover, command);

    // The person's notes, and one lookup file of the installation changed.
    const FileMap installed = TreeOf(Target());
    const auto lookup = installed.lower_bound("LOOKUP\\");
    FileMap kept = {{"NOTES.TXT", "my own notes"}, {lookup->first, lookup->second + " and the person's line"}};
    ASSERT_TRUE(WriteTree(Target(), kept));

    ReportedWindows told("tswremov.exe", Build().System);
    ASSERT_TRUE(told.Set());
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    ASSERT_TRUE(::CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                                 &process));
    ::CloseHandle(process.hThread);
    HWND box = nullptr;
    ASSERT_TRUE(WaitForWindow(BoxTitled(RemovalTitle, process.dwProcessId), box));
    // The folder of the program's path as the system gives it (Wine's in the case of the disk's names).
    EXPECT_EQ(Upper("Remove Tessaryn 3.0 and all of its components from " + StoredTarget() +
                    "?\n\nYour own files and those you changed are kept."),
              Upper(MessageBoxText(box)));
    PressButton(box, IDYES);
    ASSERT_TRUE(WaitForWindowGone(box));
    ASSERT_TRUE(WaitForWindow(BoxTitled(RemovalTitle, process.dwProcessId), box, 60000));
    const std::string last = MessageBoxText(box);
    for (const auto& file : kept) EXPECT_NE(std::string::npos, last.find(file.first)) << last;
    PressButton(box, IDOK);
    EXPECT_EQ(WAIT_OBJECT_0, ::WaitForSingleObject(process.hProcess, 20000));
    DWORD exitCode = 99;
    ::GetExitCodeProcess(process.hProcess, &exitCode);
    ::CloseHandle(process.hProcess);
    EXPECT_EQ(0u, exitCode) << last;

    ASSERT_TRUE(ReadFileBytes(remover, kept["TSWREMOV.EXE"]));  // until the system's next start
    EXPECT_TRUE(SameTree(kept, TakeTree(Target(), TreeUpperCase)));  // the record too is gone
    EXPECT_FALSE(IsDirectory(GroupFolder()));
    EXPECT_EQ("", UninstallCommand());
    char shortPath[MAX_PATH] = {};
    ::GetShortPathNameA(remover.c_str(), shortPath, sizeof shortPath);
    const std::string deletions = TakeDeletionsAtStart();
    EXPECT_NE(std::string::npos, deletions.find(Upper(Build().Nt ? remover : "NUL=" + std::string(shortPath))))
        << deletions;
}

// TSWREMOV.EXE /Q, as an administrator's batch file starts it: no window
// waits for a person. Another installation program's claim on the folder
// ends it at its report, with nothing removed; then it removes, keeping the
// changed file (its own exit code). An installation into the folder before
// the system's next start takes back the deletion of TSWREMOV.EXE.
TEST_P(Removal, UnattendedThenInstalledAgainBeforeTheNextStart)
{
    TSTESTKIT_RUN_ON_PRIVATE_DESKTOP();
    ASSERT_NO_FATAL_FAILURE(Prepare(Progman::Wine));
    TakeDeletionsAtStart();
    const auto install = [this] {
        ASSERT_TRUE(InsertDisk(1)());
        Installer installer(Build());
        ASSERT_TRUE(installer.WaitForMainWindow());
        InstallEntries entries;
        entries.Target = Target();
        ASSERT_TRUE(InstallThroughDisks(installer, LocalCommand, entries));
        ASSERT_TRUE(installer.Answer(MainWindowTitle, RevisionsRefusedText, IDOK));
        ASSERT_TRUE(installer.Answer("Installation Complete", ExitQuestion, IDYES));
        ASSERT_TRUE(installer.WaitForEnd());
        CloseGroupFolderWindows(5000);
    };
    ASSERT_NO_FATAL_FAILURE(install());
    const std::string remover = StoredTarget() + "\\TSWREMOV.EXE";
    ReportedWindows told("tswremov.exe", Build().System);
    ASSERT_TRUE(told.Set());
    // Its exit code; 98 where it waits (a box) and does not end by itself.
    const auto removeUnattended = [&remover]() -> DWORD {
        std::string command = remover + " /Q";
        STARTUPINFOA startup = {};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION process = {};
        DWORD exitCode = 98;
        if (::CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process) &&
            ::WaitForSingleObject(process.hProcess, 60000) == WAIT_OBJECT_0)
            ::GetExitCodeProcess(process.hProcess, &exitCode);
        ::CloseHandle(process.hThread);
        ::CloseHandle(process.hProcess);
        return exitCode;
    };
    const FileMap installed = TreeOf(Target());
    const std::string claim = Target() + "\\~TSWMOVE.TMP";
    ASSERT_TRUE(WriteFileBytes(claim, ""));
    EXPECT_EQ(14u, removeUnattended());  // File Read Error ~TSWMOVE.TMP
    ASSERT_TRUE(::DeleteFileA(claim.c_str()));
    EXPECT_TRUE(SameTree(installed, TreeOf(Target())));

    const auto lookup = installed.lower_bound("LOOKUP\\");
    FileMap kept = {{lookup->first, lookup->second + " and the person's line"}};
    ASSERT_TRUE(WriteTree(Target(), kept));
    EXPECT_EQ(4u, removeUnattended());  // removed, a changed file kept
    std::string log;
    ASSERT_TRUE(ReadFileBytes(WindowsDirectory() + "\\TSWREMOV.LOG", log));
    EXPECT_NE(std::string::npos, Upper(log).find(Upper(lookup->first) + ": CHANGED SINCE IT WAS INSTALLED\r\n")) << log;
    ASSERT_TRUE(ReadFileBytes(remover, kept["TSWREMOV.EXE"]));
    EXPECT_TRUE(SameTree(kept, TakeTree(Target(), TreeUpperCase)));
    EXPECT_EQ("", UninstallCommand());

    ASSERT_NO_FATAL_FAILURE(install());
    EXPECT_EQ(std::string::npos, TakeDeletionsAtStart().find("TSWREMOV.EXE"));
}

INSTANTIATE_TEST_SUITE_P(Builds, Removal, ::testing::Values(Build95, BuildNt), BuildName);
