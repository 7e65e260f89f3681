#include "shell/InstallWindow.h"

#include "progman/plain/ProgmanCommand.h"
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
}

void TInstallWindow::InitDde()
{
    DdeInstance = 0;
    Conversation = nullptr;
    ServiceName = nullptr;
    TopicName = nullptr;
    DdeWindow = this;
    TFrameWindow::SetupWindow();

    const char* failure = nullptr;
    if (!DdeCallback) {
        failure = "Setup of callback failed.";
    } else if (::DdeInitializeA(&DdeInstance, DdeCallback, APPCMD_CLIENTONLY, 0) != DMLERR_NO_ERROR) {
        failure = "Initialization failed.";
    } else {
        ServiceName = ::DdeCreateStringHandleA(DdeInstance, "PROGMAN", CP_WINANSI);
        TopicName = ::DdeCreateStringHandleA(DdeInstance, "PROGMAN", CP_WINANSI);
        if (!ServiceName || !TopicName) failure = "Creation of strings failed.";
    }
    if (failure) {
        MessageBox(failure, nullptr, MB_OK | MB_ICONSTOP);
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
    Conversation = ::DdeConnect(DdeInstance, ServiceName, TopicName, nullptr);
    if (!Conversation) {
        MessageBox("Can't start conversation.\nMake sure PROGMAN is running.", nullptr, MB_OK | MB_ICONSTOP);
        return;
    }
    ProgramItem items[kProgramSlots];
    int count = 0;
    while (count < kProgramSlots && ProgramFile[count]) {
        items[count] = {ProgramFile[count], ItemTitle[count]};
        ++count;
    }
    std::string commands = BuildGroupCommands(Settings.TargetDirectory, items, count, WindowsDirectory().c_str());
    // The length sent counts the terminating NUL.
    ::DdeClientTransaction(reinterpret_cast<LPBYTE>(&commands[0]), static_cast<DWORD>(commands.size() + 1),
                           Conversation, nullptr, CF_TEXT, XTYP_EXECUTE, ExecuteTimeout, nullptr);
}

void TInstallWindow::CloseDdeLink()
{
    if (Conversation) {
        ::DdeDisconnect(Conversation);
        Conversation = nullptr;
    }
    if (DdeInstance) {
        if (ServiceName) ::DdeFreeStringHandle(DdeInstance, ServiceName);
        if (TopicName) ::DdeFreeStringHandle(DdeInstance, TopicName);
        ServiceName = nullptr;
        TopicName = nullptr;
        ::DdeUninitialize(DdeInstance);
        DdeInstance = 0;
    }
    if (DdeWindow == this) DdeWindow = nullptr;
}

HDDEDATA CALLBACK TInstallWindow::CallBack(UINT type, UINT, HCONV, HSZ, HSZ, HDDEDATA, ULONG_PTR, ULONG_PTR)
{
    if (!DdeWindow) return nullptr;
    switch (type) {
    case XTYP_ERROR:
        DdeWindow->MessageBox("A critical DDE error has occured.", nullptr, MB_OK | MB_ICONINFORMATION);
        break;
    case XTYP_DISCONNECT:
        DdeWindow->MessageBox("Disconnected.", nullptr, MB_OK | MB_ICONINFORMATION);
        DdeWindow->Conversation = nullptr;
        break;
    default:
        break;
    }
    return nullptr;
}
