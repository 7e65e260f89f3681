// The Program Manager group: what the installer sends over DDE, checked byte
// for byte at a stand-in server, what it shows without a server, and what
// Wine's own Program Manager service makes of it.
//
// Each test runs in a child process on a desktop of its own (see
// tests/kit/PrivateDesktop.h): there Wine's shell DDE services can be hidden
// so that the stand-in is the only "PROGMAN", or nothing is.
#include "framework/Application.h"
#include "shell/InstallWindow.h"
#include "shell/plain/Settings.h"
#include "tests/kit/BoxWatcher.h"
#include "tests/kit/DdeServerProcess.h"
#include "tests/kit/PrivateDesktop.h"

#include <gtest/gtest.h>
#include <shlobj.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace {
const char* const NoConversationText = "Can't start conversation.\nMake sure PROGMAN is running.";

std::string WindowsDirectory()
{
    char buffer[MAX_PATH] = {};
    ::GetWindowsDirectoryA(buffer, sizeof buffer);
    return buffer;
}

std::string RevisionsCommand(const std::string& targetDirectory)
{
    return WindowsDirectory() + "\\notepad.exe " + targetDirectory + "\\tsw.txt";
}

std::string WithTerminator(std::string text)
{
    text.push_back('\0');
    return text;
}

void PumpMessagesFor(DWORD milliseconds)
{
    const DWORD start = ::GetTickCount();
    do {
        MSG message;
        while (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&message);
            ::DispatchMessageA(&message);
        }
        ::Sleep(10);
    } while (::GetTickCount() - start < milliseconds);
}

// The installer's main window as the application runs it: the application
// object knows it as its main window, so boxes without a title carry its title.
class ProgramGroup : public ::testing::Test {
protected:
    void OpenMainWindow()
    {
        ResetSettings();
        SourceDrive[0] = 'C';
        SourceDrive[1] = '\0';
        App = std::make_unique<TApplication>();
        Window = new TInstallWindow(nullptr, MainWindowTitle);
        App->SetMainWindow(std::unique_ptr<TFrameWindow>(Window));
        ASSERT_TRUE(Window->Create());
        ASSERT_NE(0u, Window->DdeInstance.Get());
        std::strcpy(Settings.TargetDirectory, "C:\\TSW30");
    }

    void CloseMainWindow()
    {
        App.reset();
        Window = nullptr;
        PumpMessagesFor(0);
    }

    void TearDown() override
    {
        CloseMainWindow();
        ResetSettings();
    }

    void Fill(int slot, const char* file, const char* title)
    {
        Window->ProgramFile[slot] = file;
        Window->ItemTitle[slot] = title;
    }

    std::unique_ptr<TApplication> App;
    TInstallWindow* Window = nullptr;
};

// With Wine's services hidden and the stand-in running, the stand-in is the
// only Program Manager on the test's desktop.
struct StandInOnly {
    explicit StandInOnly(const DdeServerProcess::Options& options = DdeServerProcess::Options())
        : Server(options)
    {
    }
    ShellDdeServersHidden WineServices;
    DdeServerProcess Server;
};

TEST_F(ProgramGroup, SendsTheGroupTheProgramAndTheRevisionsItemInOneExecuteWithTheTerminator)
{
    TSTESTKIT_RUN_ON_PRIVATE_DESKTOP();
    StandInOnly progman;
    ASSERT_GT(progman.WineServices.Count(), 0);
    ASSERT_TRUE(progman.Server.Ready());
    OpenMainWindow();
    BoxWatcher boxes;
    Fill(0, "TSW.EXE", "Tessaryn 3.0");

    Window->CreateProgramGroup();

    auto records = progman.Server.Records();
    ASSERT_EQ(2u, records.size());
    EXPECT_EQ("CONNECT", records[0].Kind);
    EXPECT_EQ("PROGMAN|PROGMAN", records[0].Bytes);
    EXPECT_EQ("EXECUTE", records[1].Kind);
    EXPECT_EQ(WithTerminator("[CreateGroup(Tessaryn 3.0)]"
                             "[AddItem(C:\\TSW30\\TSW.EXE, Tessaryn 3.0)]"
                             "[AddItem(" + RevisionsCommand("C:\\TSW30") + ", Revisions)]"),
              records[1].Bytes);
    // The conversation stays open after the execute.
    EXPECT_NE(nullptr, Window->Conversation);
    EXPECT_TRUE(boxes.Transcript().empty());
}

TEST_F(ProgramGroup, SendsAllSixProgramsInSlotOrder)
{
    TSTESTKIT_RUN_ON_PRIVATE_DESKTOP();
    StandInOnly progman;
    ASSERT_TRUE(progman.Server.Ready());
    OpenMainWindow();
    std::strcpy(Settings.TargetDirectory, "D:\\APPS\\TSW");
    const char* files[] = {"TSW.EXE", "RAIN.EXE", "PATH.EXE", "LINK.EXE", "TSWCONV.EXE", "TSWDB.EXE"};
    const char* titles[] = {"Tessaryn 3.0", "Rain Calculator", "Path Profile", "Link Budget", "Converter",
                            "Database"};
    std::string expected = "[CreateGroup(Tessaryn 3.0)]";
    for (int i = 0; i < kProgramSlots; ++i) {
        Fill(i, files[i], titles[i]);
        expected += "[AddItem(D:\\APPS\\TSW\\" + std::string(files[i]) + ", " + titles[i] + ")]";
    }
    expected += "[AddItem(" + RevisionsCommand("D:\\APPS\\TSW") + ", Revisions)]";

    Window->CreateProgramGroup();

    auto executes = progman.Server.Executes();
    ASSERT_EQ(1u, executes.size());
    EXPECT_EQ(WithTerminator(expected), executes[0]);
}

TEST_F(ProgramGroup, StopsAtTheFirstEmptySlot)
{
    TSTESTKIT_RUN_ON_PRIVATE_DESKTOP();
    StandInOnly progman;
    ASSERT_TRUE(progman.Server.Ready());
    OpenMainWindow();
    Fill(0, "TSW.EXE", "Tessaryn 3.0");
    Fill(1, "RAIN.EXE", "Rain Calculator");
    Fill(3, "LINK.EXE", "Link Budget");

    Window->CreateProgramGroup();

    auto executes = progman.Server.Executes();
    ASSERT_EQ(1u, executes.size());
    EXPECT_EQ(WithTerminator("[CreateGroup(Tessaryn 3.0)]"
                             "[AddItem(C:\\TSW30\\TSW.EXE, Tessaryn 3.0)]"
                             "[AddItem(C:\\TSW30\\RAIN.EXE, Rain Calculator)]"
                             "[AddItem(" + RevisionsCommand("C:\\TSW30") + ", Revisions)]"),
              executes[0]);
}

// Program Manager's syntax gives ",", "(", ")", "[" and "]" a meaning: an
// argument holding one goes in double quotes, so it can neither end the
// command early nor start one of its own. A double quote cannot be carried
// at all: that item is left out and the others still go.
TEST_F(ProgramGroup, QuotesArgumentsThatHoldProgmanSyntaxAndLeavesOutWhatCannotBeQuoted)
{
    TSTESTKIT_RUN_ON_PRIVATE_DESKTOP();
    StandInOnly progman;
    ASSERT_TRUE(progman.Server.Ready());
    OpenMainWindow();
    std::strcpy(Settings.TargetDirectory, "C:\\TS,W");
    Fill(0, "TSW.EXE", "Tessaryn 3.0 (32-bit)");
    Fill(1, "RAIN.EXE", "Rain \"Calculator\"");
    Fill(2, "LINK.EXE", "Link [Budget]");

    Window->CreateProgramGroup();

    auto executes = progman.Server.Executes();
    ASSERT_EQ(1u, executes.size());
    EXPECT_EQ(WithTerminator("[CreateGroup(Tessaryn 3.0)]"
                             "[AddItem(\"C:\\TS,W\\TSW.EXE\", \"Tessaryn 3.0 (32-bit)\")]"
                             "[AddItem(\"C:\\TS,W\\LINK.EXE\", \"Link [Budget]\")]"
                             "[AddItem(\"" + RevisionsCommand("C:\\TS,W") + "\", Revisions)]"),
              executes[0]);
}

TEST_F(ProgramGroup, WithoutProgramManagerShowsOneBoxAndSendsNothing)
{
    TSTESTKIT_RUN_ON_PRIVATE_DESKTOP();
    ShellDdeServersHidden wineServices;
    ASSERT_FALSE(ProgmanAnswers());
    OpenMainWindow();
    Fill(0, "TSW.EXE", "Tessaryn 3.0");
    BoxWatcher boxes;
    boxes.Expect(MainWindowTitle, IDOK);

    Window->CreateProgramGroup();

    std::vector<std::string> expected = {std::string(MainWindowTitle) + "|" + NoConversationText};
    EXPECT_EQ(expected, boxes.Transcript());
    EXPECT_EQ(nullptr, Window->Conversation);
    // The slots are left as they were for the caller.
    EXPECT_EQ("TSW.EXE", Window->ProgramFile[0]);
}

TEST_F(ProgramGroup, ASecondCreationConnectsAgainAndSendsOnlyTheItemsThenInTheSlots)
{
    TSTESTKIT_RUN_ON_PRIVATE_DESKTOP();
    StandInOnly progman;
    ASSERT_TRUE(progman.Server.Ready());
    OpenMainWindow();
    BoxWatcher boxes;
    Fill(0, "TSW.EXE", "Tessaryn 3.0");
    Fill(1, "RAIN.EXE", "Rain Calculator");
    Window->CreateProgramGroup();
    Window->EmptyProgramSlots();
    Fill(0, "TSWNEW.EXE", "Tessaryn 3.0 Update");

    Window->CreateProgramGroup();

    EXPECT_EQ(2, progman.Server.Connections());
    auto executes = progman.Server.Executes();
    ASSERT_EQ(2u, executes.size());
    EXPECT_EQ(WithTerminator("[CreateGroup(Tessaryn 3.0)]"
                             "[AddItem(C:\\TSW30\\TSWNEW.EXE, Tessaryn 3.0 Update)]"
                             "[AddItem(" + RevisionsCommand("C:\\TSW30") + ", Revisions)]"),
              executes[1]);
    EXPECT_TRUE(boxes.Transcript().empty());
}

TEST_F(ProgramGroup, ClosingTheWindowEndsTheConversation)
{
    TSTESTKIT_RUN_ON_PRIVATE_DESKTOP();
    StandInOnly progman;
    ASSERT_TRUE(progman.Server.Ready());
    OpenMainWindow();
    Fill(0, "TSW.EXE", "Tessaryn 3.0");
    Window->CreateProgramGroup();
    ASSERT_EQ(1u, progman.Server.Executes().size());

    CloseMainWindow();

    std::vector<std::string> kinds;
    for (int i = 0; i < 100; ++i) {
        kinds.clear();
        for (const auto& record : progman.Server.Records()) kinds.push_back(record.Kind);
        if (kinds.size() >= 3) break;
        ::Sleep(20);
    }
    std::vector<std::string> expected = {"CONNECT", "EXECUTE", "DISCONNECT"};
    EXPECT_EQ(expected, kinds);
}

// Wine's DDEML ends the client's side of a conversation the server ended
// without calling the client's callback (Windows calls it with
// XTYP_DISCONNECT), so no notice appears; the next creation still connects
// again and is heard.
TEST_F(ProgramGroup, AfterTheServerEndedTheConversationTheNextCreationConnectsAgain)
{
    TSTESTKIT_RUN_ON_PRIVATE_DESKTOP();
    DdeServerProcess::Options options;
    options.DisconnectAfterExecute = true;
    StandInOnly progman(options);
    ASSERT_TRUE(progman.Server.Ready());
    OpenMainWindow();
    Fill(0, "TSW.EXE", "Tessaryn 3.0");
    BoxWatcher boxes;
    Window->CreateProgramGroup();
    PumpMessagesFor(500);  // the server's terminate arrives

    Window->CreateProgramGroup();

    EXPECT_EQ(2, progman.Server.Connections());
    EXPECT_EQ(2u, progman.Server.Executes().size());
    EXPECT_TRUE(boxes.Transcript().empty());
}

// The DDE callback, as the DDEML calls it: a notice for an error and for a
// disconnect (which also forgets the conversation), nothing for the rest, and
// never any data.
TEST_F(ProgramGroup, TheCallbackAnnouncesErrorsAndDisconnectsAndReturnsNoData)
{
    OpenMainWindow();
    BoxWatcher boxes;
    boxes.Expect(MainWindowTitle, IDOK);
    boxes.Expect(MainWindowTitle, IDOK);
    HCONV conversation = reinterpret_cast<HCONV>(static_cast<ULONG_PTR>(0x1234));
    Window->Conversation = conversation;

    EXPECT_EQ(nullptr, TInstallWindow::CallBack(XTYP_REGISTER, 0, nullptr, nullptr, nullptr, nullptr, 0, 0));
    EXPECT_EQ(nullptr, TInstallWindow::CallBack(XTYP_XACT_COMPLETE, 0, conversation, nullptr, nullptr, nullptr, 0, 0));
    EXPECT_EQ(conversation, Window->Conversation);
    EXPECT_EQ(nullptr, TInstallWindow::CallBack(XTYP_ERROR, 0, nullptr, nullptr, nullptr, nullptr, DMLERR_LOW_MEMORY, 0));
    EXPECT_EQ(conversation, Window->Conversation);
    EXPECT_EQ(nullptr, TInstallWindow::CallBack(XTYP_DISCONNECT, 0, conversation, nullptr, nullptr, nullptr, 0, 0));

    EXPECT_EQ(nullptr, Window->Conversation);
    std::vector<std::string> expected = {std::string(MainWindowTitle) + "|A critical DDE error has occured.",
                                         std::string(MainWindowTitle) + "|Disconnected."};
    EXPECT_EQ(expected, boxes.Transcript());
}

TEST_F(ProgramGroup, ASlowServerHoldsTheInstallerOnlyForTheTimeOutAndNothingIsReported)
{
    TSTESTKIT_RUN_ON_PRIVATE_DESKTOP();
    DdeServerProcess::Options options;
    options.ExecuteDelay = 2500;
    StandInOnly progman(options);
    ASSERT_TRUE(progman.Server.Ready());
    OpenMainWindow();
    Fill(0, "TSW.EXE", "Tessaryn 3.0");
    BoxWatcher boxes;

    const DWORD start = ::GetTickCount();
    Window->CreateProgramGroup();
    const DWORD elapsed = ::GetTickCount() - start;

    EXPECT_GE(elapsed, 900u);
    EXPECT_LT(elapsed, 3000u);
    EXPECT_EQ(1u, progman.Server.Executes().size());
    PumpMessagesFor(500);
    EXPECT_TRUE(boxes.Transcript().empty());
}

// ---------------------------------------------------------------------------
// Wine's own Program Manager service (shell32, hosted by the desktop process
// explorer.exe): what it really makes of the installer's commands.

const GUID ClsidShellLink = {0x00021401, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
const GUID IidShellLinkA = {0x000214EE, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
const GUID IidPersistFile = {0x0000010B, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};

struct Shortcut {
    std::string Name;  // file name without ".lnk"
    std::string Target;
    std::string Arguments;
    std::string Description;
};

std::string GroupFolder()
{
    char appData[MAX_PATH] = {};
    ::GetEnvironmentVariableA("APPDATA", appData, sizeof appData);
    return std::string(appData) + "\\Microsoft\\Windows\\Start Menu\\Programs\\Tessaryn 3.0";
}

void RemoveGroupFolder()
{
    const std::string folder = GroupFolder();
    WIN32_FIND_DATAA found;
    HANDLE search = ::FindFirstFileA((folder + "\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                ::DeleteFileA((folder + "\\" + found.cFileName).c_str());
        } while (::FindNextFileA(search, &found));
        ::FindClose(search);
    }
    ::RemoveDirectoryA(folder.c_str());
}

template <typename Function>
Function Procedure(HMODULE module, const char* name)
{
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(::GetProcAddress(module, name)));
}

// Reads every shortcut of the group through the platform's shell link object.
std::vector<Shortcut> GroupShortcuts()
{
    std::vector<Shortcut> shortcuts;
    HMODULE ole = ::LoadLibraryA("ole32.dll");
    auto coInitialize = Procedure<HRESULT(WINAPI*)(LPVOID)>(ole, "CoInitialize");
    auto coUninitialize = Procedure<void(WINAPI*)()>(ole, "CoUninitialize");
    auto coCreateInstance =
        Procedure<HRESULT(WINAPI*)(REFCLSID, LPUNKNOWN, DWORD, REFIID, LPVOID*)>(ole, "CoCreateInstance");
    if (!coInitialize || !coCreateInstance) return shortcuts;
    coInitialize(nullptr);

    const std::string folder = GroupFolder();
    WIN32_FIND_DATAA found;
    HANDLE search = ::FindFirstFileA((folder + "\\*.lnk").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            Shortcut shortcut;
            shortcut.Name = found.cFileName;
            shortcut.Name.resize(shortcut.Name.size() - 4);
            IShellLinkA* link = nullptr;
            IPersistFile* file = nullptr;
            if (SUCCEEDED(coCreateInstance(ClsidShellLink, nullptr, CLSCTX_INPROC_SERVER, IidShellLinkA,
                                           reinterpret_cast<void**>(&link)))) {
                if (SUCCEEDED(link->QueryInterface(IidPersistFile, reinterpret_cast<void**>(&file)))) {
                    wchar_t path[MAX_PATH];
                    ::MultiByteToWideChar(CP_ACP, 0, (folder + "\\" + found.cFileName).c_str(), -1, path, MAX_PATH);
                    if (SUCCEEDED(file->Load(path, STGM_READ))) {
                        char text[MAX_PATH] = {};
                        if (SUCCEEDED(link->GetPath(text, sizeof text, nullptr, 0))) shortcut.Target = text;
                        text[0] = '\0';
                        if (SUCCEEDED(link->GetArguments(text, sizeof text))) shortcut.Arguments = text;
                        text[0] = '\0';
                        if (SUCCEEDED(link->GetDescription(text, sizeof text))) shortcut.Description = text;
                    }
                    file->Release();
                }
                link->Release();
            }
            shortcuts.push_back(shortcut);
        } while (::FindNextFileA(search, &found));
        ::FindClose(search);
    }
    std::sort(shortcuts.begin(), shortcuts.end(),
              [](const Shortcut& a, const Shortcut& b) { return a.Name < b.Name; });
    if (coUninitialize) coUninitialize();
    return shortcuts;
}

// The group's folder window, which Wine opens on CreateGroup, in another process.
HWND FindGroupFolderWindow()
{
    struct Search {
        HWND Found = nullptr;
    } search;
    ::EnumWindows(
        [](HWND window, LPARAM param) -> BOOL {
            char className[64] = {};
            ::GetClassNameA(window, className, sizeof className);
            if (std::strcmp(className, "ExplorerWClass") == 0 && ::IsWindowVisible(window) &&
                WindowText(window) == "Tessaryn 3.0") {
                reinterpret_cast<Search*>(param)->Found = window;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.Found;
}

// Waits for the group's folder window and closes it; whether it appeared.
bool CloseGroupFolderWindow()
{
    HWND window = nullptr;
    for (int i = 0; i < 500 && !window; ++i) {
        window = FindGroupFolderWindow();
        if (!window) PumpMessagesFor(20);
    }
    if (!window) return false;
    ::PostMessageA(window, WM_CLOSE, 0, 0);
    for (int i = 0; i < 250 && ::IsWindow(window); ++i) ::Sleep(20);
    return true;
}

// Installed programs for Wine's service to find: it only makes a shortcut for
// a program that exists. Copies of this test program, which carries an icon.
void InstallPrograms(const std::string& directory, std::initializer_list<const char*> names)
{
    ::CreateDirectoryA(directory.c_str(), nullptr);
    char self[MAX_PATH] = {};
    ::GetModuleFileNameA(nullptr, self, sizeof self);
    for (const char* name : names) ASSERT_TRUE(::CopyFileA(self, (directory + "\\" + name).c_str(), FALSE));
    HANDLE notes = ::CreateFileA((directory + "\\tsw.txt").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                 FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, notes);
    ::CloseHandle(notes);
}

void RemovePrograms(const std::string& directory, std::initializer_list<const char*> names)
{
    for (const char* name : names) ::DeleteFileA((directory + "\\" + name).c_str());
    ::DeleteFileA((directory + "\\tsw.txt").c_str());
    ::RemoveDirectoryA(directory.c_str());
}

// Waits until the group holds `count` shortcuts (Wine's service may still be
// writing them after the installer's transaction timed out).
std::vector<Shortcut> WaitForShortcuts(std::size_t count)
{
    std::vector<Shortcut> shortcuts;
    for (int i = 0; i < 250; ++i) {
        shortcuts = GroupShortcuts();
        if (shortcuts.size() >= count) break;
        PumpMessagesFor(20);
    }
    return shortcuts;
}

// A shortcut per program, named by its title, pointing at the program; the
// title with parentheses arrives whole because it is quoted. The Revisions
// item gets no shortcut: Wine takes the whole command line "notepad.exe
// tsw.txt" as one file name, finds no such file and refuses the item.
TEST_F(ProgramGroup, AtWinesProgramManagerEachProgramGetsAShortcutButRevisionsDoesNot)
{
    TSTESTKIT_RUN_ON_PRIVATE_DESKTOP();
    ASSERT_TRUE(ProgmanAnswers());
    const std::string target = "C:\\TSWPM";
    InstallPrograms(target, {"TSW.EXE", "TSWUTIL.EXE"});
    RemoveGroupFolder();
    OpenMainWindow();
    std::strcpy(Settings.TargetDirectory, target.c_str());
    Fill(0, "TSW.EXE", "Tessaryn 3.0");
    Fill(1, "TSWUTIL.EXE", "Tessaryn 3.0 (32-bit)");
    BoxWatcher boxes;

    Window->CreateProgramGroup();
    auto shortcuts = WaitForShortcuts(2);
    PumpMessagesFor(500);  // a Revisions shortcut would come after the others
    shortcuts = GroupShortcuts();

    EXPECT_TRUE(CloseGroupFolderWindow()) << "Wine opens the new group's folder in a window";
    ASSERT_EQ(2u, shortcuts.size());
    EXPECT_EQ("Tessaryn 3.0", shortcuts[0].Name);
    EXPECT_EQ("C:\\TSWPM\\TSW.EXE", shortcuts[0].Target);
    EXPECT_EQ("", shortcuts[0].Arguments);
    EXPECT_EQ("Tessaryn 3.0", shortcuts[0].Description);
    EXPECT_EQ("Tessaryn 3.0 (32-bit)", shortcuts[1].Name);
    EXPECT_EQ("C:\\TSWPM\\TSWUTIL.EXE", shortcuts[1].Target);
    EXPECT_EQ("Tessaryn 3.0 (32-bit)", shortcuts[1].Description);
    EXPECT_TRUE(boxes.Transcript().empty());

    CloseMainWindow();
    RemoveGroupFolder();
    RemovePrograms(target, {"TSW.EXE", "TSWUTIL.EXE"});
}

// A directory with a comma goes quoted, and Wine's parser takes it whole.
TEST_F(ProgramGroup, AtWinesProgramManagerAQuotedCommandLineArrivesWhole)
{
    TSTESTKIT_RUN_ON_PRIVATE_DESKTOP();
    ASSERT_TRUE(ProgmanAnswers());
    const std::string target = "C:\\TSW,PM";
    InstallPrograms(target, {"TSW.EXE"});
    RemoveGroupFolder();
    OpenMainWindow();
    std::strcpy(Settings.TargetDirectory, target.c_str());
    Fill(0, "TSW.EXE", "Tessaryn 3.0");

    Window->CreateProgramGroup();
    auto shortcuts = WaitForShortcuts(1);

    CloseGroupFolderWindow();
    ASSERT_EQ(1u, shortcuts.size());
    EXPECT_EQ("Tessaryn 3.0", shortcuts[0].Name);
    EXPECT_EQ("C:\\TSW,PM\\TSW.EXE", shortcuts[0].Target);

    CloseMainWindow();
    RemoveGroupFolder();
    RemovePrograms(target, {"TSW.EXE"});
}

// Wine stops at the first command it refuses: a program that is not on disk
// costs the shortcuts of every program after it.
TEST_F(ProgramGroup, AtWinesProgramManagerAProgramMissingOnDiskEndsTheExecuteThere)
{
    TSTESTKIT_RUN_ON_PRIVATE_DESKTOP();
    ASSERT_TRUE(ProgmanAnswers());
    const std::string target = "C:\\TSWPM2";
    InstallPrograms(target, {"TSW.EXE"});
    RemoveGroupFolder();
    OpenMainWindow();
    std::strcpy(Settings.TargetDirectory, target.c_str());
    Fill(0, "MISSING.EXE", "Missing");
    Fill(1, "TSW.EXE", "Tessaryn 3.0");

    Window->CreateProgramGroup();
    EXPECT_TRUE(CloseGroupFolderWindow());
    PumpMessagesFor(1000);

    DWORD attributes = ::GetFileAttributesA(GroupFolder().c_str());
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, attributes) << "the group itself is created";
    EXPECT_TRUE(GroupShortcuts().empty());

    CloseMainWindow();
    RemoveGroupFolder();
    RemovePrograms(target, {"TSW.EXE"});
}
}
