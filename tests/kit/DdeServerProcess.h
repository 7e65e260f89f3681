#pragma once
#include <windows.h>

#include <string>
#include <vector>

// Runs the Program Manager DDE server stand-in (dde_server_standin.exe) on
// the calling thread's desktop for the life of the object, and reads back
// what it recorded.
//
// Wine's own desktop process (explorer.exe /desktop) also serves "PROGMAN"
// on every desktop. A client's DdeConnect takes the first server that
// answers its broadcast, in the z-order of the servers' hidden windows, which
// depends on which of the two started first. Tests that must reach the
// stand-in therefore run on a private desktop with Wine's services hidden
// (tests/kit/PrivateDesktop.h), and check the stand-in's records.
class DdeServerProcess {
public:
    struct Options {
        DWORD ExecuteDelay = 0;          // ms to wait inside each execute
        bool DisconnectAfterExecute = false;
        std::string Refused;             // an execute holding it is refused
        DWORD Timeout = 120000;          // the stand-in ends by itself after this
    };

    struct Record {
        std::string Kind;   // CONNECT, EXECUTE or DISCONNECT
        std::string Bytes;  // raw bytes; an execute's terminating NUL included
    };

    DdeServerProcess();
    explicit DdeServerProcess(const Options& options);
    ~DdeServerProcess();
    DdeServerProcess(const DdeServerProcess&) = delete;
    DdeServerProcess& operator=(const DdeServerProcess&) = delete;

    // Whether the stand-in started and registered its service.
    bool Ready() const { return IsReady; }
    // Ends the stand-in and waits for it; records stay readable.
    void Stop();
    bool Running() const;

    std::vector<Record> Records() const;
    std::vector<std::string> Executes() const;
    int Connections() const;

    // The stand-in program as a Windows path.
    static std::string ProgramPath();

private:
    std::string RecordPath;
    std::string EventName;
    HANDLE Process = nullptr;
    HANDLE StopEvent = nullptr;
    bool IsReady = false;
};

// A Unix path of this machine as Wine sees it (through drive Z:).
std::string WindowsPathOf(const std::string& unixPath);
