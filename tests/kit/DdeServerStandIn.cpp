// A stand-in for Program Manager's DDE server, for the tests.
//
//   dde_server_standin RECORD_FILE EVENT_NAME [--timeout MS] [--delay MS] [--disconnect]
//                      [--group FILE] [--refuse TEXT]
//
// Registers the DDEML service "PROGMAN" (ANSI instance, so execute strings
// arrive exactly as the client sent them), accepts conversations on the topic
// "PROGMAN" and acknowledges every execute. Everything it sees is appended to
// RECORD_FILE, one record per event:
//
//   KIND LENGTH\n<LENGTH raw bytes>\n
//
// KIND is CONNECT (bytes "service|topic" of an accepted conversation),
// REQUEST (no bytes),
// EXECUTE (the data handle's whole contents, DdeGetData's full size, so the
// terminating NUL the client counted is part of it) or DISCONNECT (no bytes).
//
// EVENT_NAME names two events the stand-in creates: EVENT_NAME.ready, set
// once the service is registered, and EVENT_NAME.stop, which ends it. It also
// ends on WM_CLOSE to its hidden window "DdeServerStandIn", and after the
// time-out (default 60000 ms).
//
// --delay MS     waits that long inside each execute before acknowledging it
//                (a client's transaction time-out runs out meanwhile);
// --disconnect   ends the conversation from the server side right after each
//                execute.
// --group FILE   answers a request for any item (a group's name) with FILE's
//                bytes and a NUL, as Program Manager gives a group's contents;
//                without it, requests are refused, as for a group it has not;
// --refuse TEXT  refuses (DDE_FNOTPROCESSED) each execute holding TEXT, as
//                Program Manager refuses a command it cannot carry out.
//
// Exit code 0 after a normal stop or the time-out, 2 for a bad command line,
// 3 when the service could not be registered, 4 when RECORD_FILE could not be
// created.
#include <windows.h>
#include <ddeml.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {
DWORD Instance = 0;
HSZ ServiceName = nullptr;
HSZ TopicName = nullptr;
HANDLE Record = INVALID_HANDLE_VALUE;
DWORD ExecuteDelay = 0;
bool DisconnectAfterExecute = false;
std::string GroupContents;
bool AnswersRequests = false;
std::string Refused;
std::vector<HCONV> ToDisconnect;

void Append(const char* kind, const void* bytes, DWORD length)
{
    char header[64];
    int headerLength = std::snprintf(header, sizeof header, "%s %lu\n", kind, static_cast<unsigned long>(length));
    DWORD written = 0;
    ::WriteFile(Record, header, static_cast<DWORD>(headerLength), &written, nullptr);
    if (length) ::WriteFile(Record, bytes, length, &written, nullptr);
    ::WriteFile(Record, "\n", 1, &written, nullptr);
}

std::string NameOf(HSZ name)
{
    char text[256] = {};
    ::DdeQueryStringA(Instance, name, text, sizeof text, CP_WINANSI);
    return text;
}

HDDEDATA CALLBACK Callback(UINT type, UINT, HCONV conversation, HSZ name1, HSZ name2, HDDEDATA data, ULONG_PTR,
                           ULONG_PTR)
{
    switch (type) {
    case XTYP_CONNECT:
        // name1 is the topic, name2 the service.
        return reinterpret_cast<HDDEDATA>(static_cast<ULONG_PTR>(
            ::DdeCmpStringHandles(name1, TopicName) == 0 && ::DdeCmpStringHandles(name2, ServiceName) == 0));
    case XTYP_CONNECT_CONFIRM: {
        std::string names = NameOf(name2) + "|" + NameOf(name1);
        Append("CONNECT", names.data(), static_cast<DWORD>(names.size()));
        return nullptr;
    }
    case XTYP_EXECUTE: {
        DWORD size = ::DdeGetData(data, nullptr, 0, 0);
        std::vector<BYTE> bytes(size);
        if (size) ::DdeGetData(data, bytes.data(), size, 0);
        Append("EXECUTE", bytes.data(), size);
        if (ExecuteDelay) ::Sleep(ExecuteDelay);
        if (DisconnectAfterExecute) ToDisconnect.push_back(conversation);
        const bool refused = !Refused.empty() && std::string(bytes.begin(), bytes.end()).find(Refused) != std::string::npos;
        return reinterpret_cast<HDDEDATA>(static_cast<ULONG_PTR>(refused ? DDE_FNOTPROCESSED : DDE_FACK));
    }
    case XTYP_REQUEST: {
        Append("REQUEST", nullptr, 0);
        if (!AnswersRequests) return nullptr;
        return ::DdeCreateDataHandle(Instance, reinterpret_cast<LPBYTE>(&GroupContents[0]),
                                     static_cast<DWORD>(GroupContents.size() + 1), 0, name2, CF_TEXT, 0);
    }
    case XTYP_DISCONNECT:
        Append("DISCONNECT", nullptr, 0);
        return nullptr;
    default:
        return nullptr;
    }
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_CLOSE) {
        ::PostQuitMessage(0);
        return 0;
    }
    return ::DefWindowProcA(window, message, wParam, lParam);
}

int Usage()
{
    std::fprintf(stderr,
                 "usage: dde_server_standin RECORD_FILE EVENT_NAME [--timeout MS] [--delay MS] [--disconnect] "
                 "[--group FILE] [--refuse TEXT]\n");
    return 2;
}
}

int main(int argc, char* argv[])
{
    if (argc < 3) return Usage();
    const std::string eventName = argv[2];
    DWORD timeout = 60000;
    for (int i = 3; i < argc; ++i) {
        if (std::strcmp(argv[i], "--timeout") == 0 && i + 1 < argc) {
            timeout = std::strtoul(argv[++i], nullptr, 10);
        } else if (std::strcmp(argv[i], "--delay") == 0 && i + 1 < argc) {
            ExecuteDelay = std::strtoul(argv[++i], nullptr, 10);
        } else if (std::strcmp(argv[i], "--disconnect") == 0) {
            DisconnectAfterExecute = true;
        } else if (std::strcmp(argv[i], "--group") == 0 && i + 1 < argc) {
            HANDLE file = ::CreateFileA(argv[++i], GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
            char buffer[4096];
            DWORD read = 0;
            while (file != INVALID_HANDLE_VALUE && ::ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read)
                GroupContents.append(buffer, read);
            if (file != INVALID_HANDLE_VALUE) ::CloseHandle(file);
            AnswersRequests = true;
        } else if (std::strcmp(argv[i], "--refuse") == 0 && i + 1 < argc) {
            Refused = argv[++i];
        } else {
            return Usage();
        }
    }

    Record = ::CreateFileA(argv[1], GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                           nullptr);
    if (Record == INVALID_HANDLE_VALUE) {
        std::fprintf(stderr, "dde_server_standin: cannot create %s\n", argv[1]);
        return 4;
    }
    HANDLE ready = ::CreateEventA(nullptr, TRUE, FALSE, (eventName + ".ready").c_str());
    HANDLE stop = ::CreateEventA(nullptr, TRUE, FALSE, (eventName + ".stop").c_str());

    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = ::GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "DdeServerStandIn";
    ::RegisterClassA(&windowClass);
    HWND window = ::CreateWindowA("DdeServerStandIn", "DdeServerStandIn", WS_OVERLAPPED, 0, 0, 0, 0, nullptr,
                                  nullptr, windowClass.hInstance, nullptr);

    if (::DdeInitializeA(&Instance, Callback, APPCLASS_STANDARD | CBF_FAIL_ADVISES | CBF_FAIL_POKES |
                                                  CBF_SKIP_REGISTRATIONS |
                                                  CBF_SKIP_UNREGISTRATIONS,
                         0) != DMLERR_NO_ERROR) {
        std::fprintf(stderr, "dde_server_standin: DdeInitializeA failed\n");
        return 3;
    }
    ServiceName = ::DdeCreateStringHandleA(Instance, "PROGMAN", CP_WINANSI);
    TopicName = ::DdeCreateStringHandleA(Instance, "PROGMAN", CP_WINANSI);
    if (!ServiceName || !TopicName || !::DdeNameService(Instance, ServiceName, nullptr, DNS_REGISTER)) {
        std::fprintf(stderr, "dde_server_standin: cannot register the service\n");
        return 3;
    }
    ::SetEvent(ready);

    const DWORD start = ::GetTickCount();
    for (;;) {
        DWORD elapsed = ::GetTickCount() - start;
        if (elapsed >= timeout) break;
        DWORD wait = ::MsgWaitForMultipleObjects(1, &stop, FALSE, timeout - elapsed, QS_ALLINPUT);
        if (wait == WAIT_OBJECT_0 || wait == WAIT_TIMEOUT) break;
        MSG message;
        bool quit = false;
        while (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) quit = true;
            ::TranslateMessage(&message);
            ::DispatchMessageA(&message);
        }
        // Disconnecting inside the execute callback would end the
        // conversation before the acknowledgement went out.
        for (HCONV conversation : ToDisconnect) ::DdeDisconnect(conversation);
        ToDisconnect.clear();
        if (quit) break;
    }

    ::DdeNameService(Instance, ServiceName, nullptr, DNS_UNREGISTER);
    ::DdeFreeStringHandle(Instance, ServiceName);
    ::DdeFreeStringHandle(Instance, TopicName);
    ::DdeUninitialize(Instance);
    ::DestroyWindow(window);
    ::CloseHandle(Record);
    ::CloseHandle(ready);
    ::CloseHandle(stop);
    return 0;
}
