#include "shell/InstallWindow.h"

#include "engine/plain/InstallRecord.h"
#include "engine/plain/RemovalRegistration.h"
#include "progman/plain/ProgmanCommand.h"
#include "shell/plain/PathHelpers.h"
#include "shell/plain/Settings.h"

#include <string>
#include <vector>

namespace {
// The window the DDE callback reports to.
TInstallWindow* DdeWindow = nullptr;

constexpr DWORD ExecuteTimeout = 1000;

std::string WindowsDirectory()
{
    std::vector<char> buffer(MAX_PATH + 1);
    UINT length = ::GetWindowsDirectoryA(buffer.data(), static_cast<UINT>(buffer.size()));
    if (length >= buffer.size()) {
        buffer.resize(length + 1);
        length = ::GetWindowsDirectoryA(buffer.data(), static_cast<UINT>(buffer.size()));
    }
    if (length == 0 || length >= buffer.size()) return std::string();
    return std::string(buffer.data(), length);
}

std::string ShortPath(const std::string& path)
{
    char buffer[MAX_PATH];
    DWORD length = ::GetShortPathNameA(path.c_str(), buffer, sizeof buffer);
    if (length == 0 || length >= sizeof buffer) return std::string();
    return std::string(buffer, length);
}
}

void TInstallWindow::InitDde()
{
    CloseDdeLink();
    DdeWindow = this;

    const char* failure = nullptr;
    DWORD instance = 0;
    if (!DdeCallback) {
        failure = "Setup of callback failed.";
    } else if (::DdeInitializeA(&instance, DdeCallback, APPCMD_CLIENTONLY, 0) != DMLERR_NO_ERROR) {
        failure = "Initialization failed.";
    } else {
        DdeInstance.Reset(instance);
        ServiceName.Reset({instance, ::DdeCreateStringHandleA(instance, "PROGMAN", CP_WINANSI)});
        TopicName.Reset({instance, ::DdeCreateStringHandleA(instance, "PROGMAN", CP_WINANSI)});
        if (!ServiceName.IsValid() || !TopicName.IsValid()) failure = "Creation of strings failed.";
    }
    if (failure) {
        ShowMessage(failure, nullptr, MB_OK | MB_ICONSTOP);
        ::PostQuitMessage(0);
    }
}

void TInstallWindow::CreateProgramGroup()
{
    // A DDE instance may be refused a second conversation with the same
    // service and topic while the first is open, so a group created again in
    // the same run (a second installation, an update after an installation)
    // ends the earlier conversation first.
    if (Conversation) {
        ::DdeDisconnect(Conversation);
        Conversation = nullptr;
    }
    Conversation = ::DdeConnect(DdeInstance.Get(), ServiceName.Get().String, TopicName.Get().String, nullptr);
    if (!Conversation) {
        const char* const notice = "Can't start conversation.\nMake sure PROGMAN is running.";
        LogNote(notice);
        ShowMessage(notice, nullptr, MB_OK | MB_ICONSTOP);
        return;
    }
    ProgramItem items[kProgramSlots];
    int count = 0;
    while (count < kProgramSlots && !ProgramFile[count].empty()) {
        items[count] = {ProgramFile[count].c_str(), ItemTitle[count].c_str()};
        ++count;
    }
    std::vector<GroupCommand> commands =
        GroupCommands(Settings.TargetDirectory, items, count, WindowsDirectory().c_str(), &ShortPath);
    if (RemovalItem) commands.push_back({kRemovalItemTitle, RemovalItemCommand(Settings.TargetDirectory, &ShortPath)});
    // The group's line is on the disk before the group is made; a record
    // that cannot take it (a full disk) leaves the group unmade.
    const bool recorded = Record.Append(RecordedGroupLine(false));

    // Each command alone, so that an item refused leaves the next ones to
    // come; without the group nothing of it is sent. A server that does not
    // answer holds the run for each time-out.
    bool groupMade = false;
    std::vector<std::string> missing;
    for (std::size_t i = 0; i < commands.size(); ++i) {
        std::string& command = commands[i].Command;
        const bool sent = (i == 0 ? recorded : groupMade) && !command.empty() && Conversation &&
                          // The length sent counts the terminating NUL.
                          ::DdeClientTransaction(reinterpret_cast<LPBYTE>(&command[0]),
                                                 static_cast<DWORD>(command.size() + 1), Conversation,
                                                 nullptr, CF_TEXT, XTYP_EXECUTE, ExecuteTimeout, nullptr) != 0;
        if (i == 0)
            groupMade = sent;
        else if (!sent)
            missing.push_back(commands[i].Title);
    }
    const std::string notice =
        GroupShortfallNotice(groupMade, missing, JoinedPath(Settings.TargetDirectory, kRemovalProgramName));
    if (notice.empty()) return;
    LogNote(notice.c_str());
    ShowMessage(notice.c_str(), nullptr, MB_OK | MB_ICONEXCLAMATION);
}

void TInstallWindow::CloseDdeLink()
{
    if (Conversation) {
        ::DdeDisconnect(Conversation);
        Conversation = nullptr;
    }
    // The strings go before the instance that made them.
    ServiceName.Reset();
    TopicName.Reset();
    DdeInstance.Reset();
    if (DdeWindow == this) DdeWindow = nullptr;
}

HDDEDATA CALLBACK TInstallWindow::CallBack(UINT type, UINT, HCONV conversation, HSZ, HSZ, HDDEDATA, ULONG_PTR,
                                          ULONG_PTR)
{
    if (!DdeWindow) return nullptr;
    switch (type) {
    case XTYP_ERROR:
        DdeWindow->ShowMessage("A critical DDE error has occured.", nullptr, MB_OK | MB_ICONINFORMATION);
        break;
    case XTYP_DISCONNECT:
        DdeWindow->ShowMessage("Disconnected.", nullptr, MB_OK | MB_ICONINFORMATION);
        // Only the end of the current conversation leaves none.
        if (conversation == DdeWindow->Conversation) DdeWindow->Conversation = nullptr;
        break;
    default:
        break;
    }
    return nullptr;
}
