// The Program Manager group: what the installer sends over DDE, checked byte
// for byte at a stand-in server, and what it shows without a server. What
// Wine's own Program Manager makes of it is one end-to-end smoke test.
//
// Each test runs in a child process on a desktop of its own (see
// tests/kit/PrivateDesktop.h): there Wine's shell DDE services can be hidden
// so that the stand-in is the only "PROGMAN", or nothing is.
#include "engine/plain/InstallRecord.h"
#include "framework/Application.h"
#include "shell/InstallWindow.h"
#include "shell/plain/Settings.h"
#include "tests/kit/BoxWatcher.h"
#include "tests/kit/DdeServerProcess.h"
#include "tests/kit/FileBytes.h"
#include "tests/kit/FileTree.h"
#include "tests/kit/PrivateDesktop.h"
#include "tests/window/InstallerFixture.h"

#include <gtest/gtest.h>

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

// The executes expected: each command alone, with its terminator.
std::vector<std::string> Each(std::initializer_list<std::string> commands)
{
    std::vector<std::string> executes;
    for (const std::string& command : commands) executes.push_back(WithTerminator(command));
    return executes;
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

// The installer's main window as the application runs it (the application
// object knows it as its main window, so boxes without a title carry its
// title), made by each test on its own desktop.
class ProgramGroup : public MainWindowTest {
protected:
    void SetUp() override {}
    void OpenMainWindow()
    {
        ResetSettings();
        SourceDrive[0] = 'C';
        SourceDrive[1] = '\0';
        CreateWindowUnderTest();
        ASSERT_NE(0u, Window->DdeInstance.Get());
        std::strcpy(Settings.TargetDirectory, "C:\\TSW30");
    }
    void CloseMainWindow() { DestroyWindowUnderTest(); }

    void Fill(int slot, const char* file, const char* title)
    {
        Window->ProgramFile[slot] = file;
        Window->ItemTitle[slot] = title;
    }

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

TEST_F(ProgramGroup, SendsTheGroupTheProgramAndTheRevisionsItemEachInItsOwnExecuteWithTheTerminator)
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
    ASSERT_EQ(4u, records.size());
    EXPECT_EQ("CONNECT", records[0].Kind);
    EXPECT_EQ("PROGMAN|PROGMAN", records[0].Bytes);
    EXPECT_EQ(Each({"[CreateGroup(Tessaryn 3.0)]", "[AddItem(C:\\TSW30\\TSW.EXE, Tessaryn 3.0)]",
                    "[AddItem(" + RevisionsCommand("C:\\TSW30") + ", Revisions)]"}),
              progman.Server.Executes());
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
    std::vector<std::string> expected = Each({"[CreateGroup(Tessaryn 3.0)]"});
    for (int i = 0; i < kProgramSlots; ++i) {
        Fill(i, files[i], titles[i]);
        expected.push_back(WithTerminator("[AddItem(D:\\APPS\\TSW\\" + std::string(files[i]) + ", " + titles[i] + ")]"));
    }
    expected.push_back(WithTerminator("[AddItem(" + RevisionsCommand("D:\\APPS\\TSW") + ", Revisions)]"));

    Window->CreateProgramGroup();

    EXPECT_EQ(expected, progman.Server.Executes());
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

    EXPECT_EQ(Each({"[CreateGroup(Tessaryn 3.0)]", "[AddItem(C:\\TSW30\\TSW.EXE, Tessaryn 3.0)]",
                    "[AddItem(C:\\TSW30\\RAIN.EXE, Rain Calculator)]",
                    "[AddItem(" + RevisionsCommand("C:\\TSW30") + ", Revisions)]"}),
              progman.Server.Executes());
}

// Program Manager's syntax gives ",", "(", ")", "[" and "]" a meaning: an
// argument holding one goes in double quotes, so it can neither end the
// command early nor start one of its own. A double quote cannot be carried
// at all: that item is left out, the others still go, and the group is
// reported without it.
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
    BoxWatcher boxes;
    boxes.Expect(MainWindowTitle, IDOK);

    Window->CreateProgramGroup();

    EXPECT_EQ(Each({"[CreateGroup(Tessaryn 3.0)]", "[AddItem(\"C:\\TS,W\\TSW.EXE\", \"Tessaryn 3.0 (32-bit)\")]",
                    "[AddItem(\"C:\\TS,W\\LINK.EXE\", \"Link [Budget]\")]",
                    "[AddItem(\"" + RevisionsCommand("C:\\TS,W") + "\", Revisions)]"}),
              progman.Server.Executes());
    std::vector<std::string> expected = {
        std::string(MainWindowTitle) +
        "|Program Manager did not confirm these items of the group \"Tessaryn 3.0\": Rain \"Calculator\".\n\n"
        "Add what is missing in Program Manager, or install again."};
    EXPECT_EQ(expected, boxes.Transcript());
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
    ASSERT_EQ(7u, executes.size());
    EXPECT_EQ(Each({"[CreateGroup(Tessaryn 3.0)]", "[AddItem(C:\\TSW30\\TSWNEW.EXE, Tessaryn 3.0 Update)]",
                    "[AddItem(" + RevisionsCommand("C:\\TSW30") + ", Revisions)]"}),
              std::vector<std::string>(executes.begin() + 4, executes.end()));
    EXPECT_TRUE(boxes.Transcript().empty());
}

// The group's line is in the installation's record before the group is
// made; where the removal program has no Add/Remove Programs entry, the group
// gets its item, last. An item Program Manager refuses (as it refuses one it
// cannot make) leaves the next ones to come, and the group short of it is
// reported, in a box and in the log; each row a server refusing one command.
TEST_F(ProgramGroup, RecordsTheGroupFirstAndReportsEachCommandProgramManagerRefused)
{
    TSTESTKIT_RUN_ON_PRIVATE_DESKTOP();
    const std::string notepad = RevisionsCommand("C:\\TSW30");
    const std::string advice = "\n\nAdd what is missing in Program Manager, or install again.";
    const std::string removal = "\n\nTessaryn 3.0 is removed by starting C:\\TSW30\\TSWREMOV.EXE.";
    const struct {
        const char* Refused;
        std::size_t Sent;
        std::string Notice;
    } Rows[] = {
        {"", 4, ""},
        {"Revisions)]", 4, "Program Manager did not confirm these items of the group \"Tessaryn 3.0\": Revisions." + advice},
        {"Remove Tessaryn", 4,
         "Program Manager did not confirm these items of the group \"Tessaryn 3.0\": Remove Tessaryn 3.0." + removal +
             advice},
        {"CreateGroup", 1,
         "Program Manager did not make the group \"Tessaryn 3.0\" with its items: Tessaryn 3.0, Revisions, Remove "
         "Tessaryn 3.0." + removal + advice},
    };
    char temporary[MAX_PATH] = {};
    ASSERT_NE(0u, ::GetTempPathA(sizeof temporary, temporary));
    for (const auto& row : Rows) {
        DdeServerProcess::Options options;
        options.Refuse = row.Refused;
        StandInOnly progman(options);
        ASSERT_TRUE(progman.Server.Ready());
        OpenMainWindow();
        Fill(0, "TSW.EXE", "Tessaryn 3.0");
        BoxWatcher boxes;
        if (!row.Notice.empty()) boxes.Expect(MainWindowTitle, IDOK);
        {
            RunLog log(Window->Record, "installation", "A:\\", true);
            ASSERT_TRUE(Window->Record.Open(temporary, false));
            Window->RemovalItem = true;

            Window->CreateProgramGroup();
        }

        const std::vector<std::string> all =
            Each({"[CreateGroup(Tessaryn 3.0)]", "[AddItem(C:\\TSW30\\TSW.EXE, Tessaryn 3.0)]",
                  "[AddItem(" + notepad + ", Revisions)]", "[AddItem(C:\\TSW30\\TSWREMOV.EXE, Remove Tessaryn 3.0)]"});
        EXPECT_EQ(std::vector<std::string>(all.begin(), all.begin() + row.Sent), progman.Server.Executes())
            << row.Refused;
        const std::vector<std::string> shown = {std::string(MainWindowTitle) + "|" + row.Notice};
        EXPECT_EQ(row.Notice.empty() ? std::vector<std::string>() : shown, boxes.Transcript()) << row.Refused;
        CloseMainWindow();
        const std::string record = Join(temporary, "TSW_INST.LOG");
        const std::string text = ReadBytes(record);
        InstallRecordContents contents;
        EXPECT_TRUE(ReadInstallRecord(text.data(), text.size(), contents) && contents.PersonalGroup) << text;
        std::string note = row.Notice;
        std::replace(note.begin(), note.end(), '\n', ' ');
        EXPECT_EQ(!row.Notice.empty(), text.find("; " + note + "\r\n") != std::string::npos) << text;
        ::DeleteFileA(record.c_str());
    }
}

TEST_F(ProgramGroup, ClosingTheWindowEndsTheConversation)
{
    TSTESTKIT_RUN_ON_PRIVATE_DESKTOP();
    StandInOnly progman;
    ASSERT_TRUE(progman.Server.Ready());
    OpenMainWindow();
    Fill(0, "TSW.EXE", "Tessaryn 3.0");
    Window->CreateProgramGroup();
    ASSERT_EQ(3u, progman.Server.Executes().size());

    CloseMainWindow();

    std::vector<std::string> kinds;
    for (int i = 0; i < 100; ++i) {
        kinds.clear();
        for (const auto& record : progman.Server.Records()) kinds.push_back(record.Kind);
        if (kinds.size() >= 5) break;
        ::Sleep(20);
    }
    std::vector<std::string> expected = {"CONNECT", "EXECUTE", "EXECUTE", "EXECUTE", "DISCONNECT"};
    EXPECT_EQ(expected, kinds);
}

// Wine's DDEML ends the client's side of a conversation the server ended
// without calling the client's callback (Windows calls it with
// XTYP_DISCONNECT), so no "Disconnected." notice appears (the items sent
// after the end are reported as not confirmed); the next creation still
// connects again and is heard.
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
    const auto executes = progman.Server.Executes();
    EXPECT_EQ(2, std::count_if(executes.begin(), executes.end(), [](const std::string& execute) {
                  return execute.find("[CreateGroup(") == 0;
              }));
    for (const std::string& box : boxes.Transcript()) EXPECT_EQ(std::string::npos, box.find("Disconnected.")) << box;
}

// The DDE callback, as the DDEML calls it: a notice for an error and for a
// disconnect (which forgets the conversation if it is the current one),
// nothing for the rest, and never any data.
TEST_F(ProgramGroup, TheCallbackAnnouncesErrorsAndDisconnectsAndReturnsNoData)
{
    OpenMainWindow();
    BoxWatcher boxes;
    for (int i = 0; i < 3; ++i) boxes.Expect(MainWindowTitle, IDOK);
    HCONV conversation = reinterpret_cast<HCONV>(static_cast<ULONG_PTR>(0x1234));
    Window->Conversation = conversation;

    EXPECT_EQ(nullptr, TInstallWindow::CallBack(XTYP_REGISTER, 0, nullptr, nullptr, nullptr, nullptr, 0, 0));
    EXPECT_EQ(nullptr, TInstallWindow::CallBack(XTYP_XACT_COMPLETE, 0, conversation, nullptr, nullptr, nullptr, 0, 0));
    EXPECT_EQ(conversation, Window->Conversation);
    EXPECT_EQ(nullptr, TInstallWindow::CallBack(XTYP_ERROR, 0, nullptr, nullptr, nullptr, nullptr, DMLERR_LOW_MEMORY, 0));
    EXPECT_EQ(conversation, Window->Conversation);
    HCONV earlier = reinterpret_cast<HCONV>(static_cast<ULONG_PTR>(0x5678));
    EXPECT_EQ(nullptr, TInstallWindow::CallBack(XTYP_DISCONNECT, 0, earlier, nullptr, nullptr, nullptr, 0, 0));
    EXPECT_EQ(conversation, Window->Conversation) << "another conversation's end forgot the current one";
    EXPECT_EQ(nullptr, TInstallWindow::CallBack(XTYP_DISCONNECT, 0, conversation, nullptr, nullptr, nullptr, 0, 0));

    EXPECT_EQ(nullptr, Window->Conversation);
    std::vector<std::string> expected = {std::string(MainWindowTitle) + "|A critical DDE error has occured.",
                                         std::string(MainWindowTitle) + "|Disconnected.",
                                         std::string(MainWindowTitle) + "|Disconnected."};
    EXPECT_EQ(expected, boxes.Transcript());
}

// A server that does not answer the group's command within the time-out is
// sent nothing more: the group is reported as not made.
TEST_F(ProgramGroup, ASlowServerHoldsTheInstallerOnlyForOneTimeOutAndTheGroupIsReported)
{
    TSTESTKIT_RUN_ON_PRIVATE_DESKTOP();
    DdeServerProcess::Options options;
    options.ExecuteDelay = 2500;
    StandInOnly progman(options);
    ASSERT_TRUE(progman.Server.Ready());
    OpenMainWindow();
    Fill(0, "TSW.EXE", "Tessaryn 3.0");
    BoxWatcher boxes;
    boxes.Expect(MainWindowTitle, IDOK);

    const DWORD start = ::GetTickCount();
    Window->CreateProgramGroup();
    const DWORD elapsed = ::GetTickCount() - start;

    EXPECT_GE(elapsed, 900u);
    EXPECT_LT(elapsed, 3000u);
    EXPECT_EQ(1u, progman.Server.Executes().size());
    PumpMessagesFor(500);
    std::vector<std::string> expected = {
        std::string(MainWindowTitle) +
        "|Program Manager did not make the group \"Tessaryn 3.0\" with its items: Tessaryn 3.0, Revisions.\n\n"
        "Add what is missing in Program Manager, or install again."};
    EXPECT_EQ(expected, boxes.Transcript());
}
}
