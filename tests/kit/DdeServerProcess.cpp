#include "tests/kit/DdeServerProcess.h"

#include "tests/kit/BuildTreePaths.h"

#include <cstdio>
#include <sstream>

namespace {
std::string DesktopOf(HANDLE object)
{
    char name[256] = {};
    ::GetUserObjectInformationA(object, UOI_NAME, name, sizeof name, nullptr);
    return name;
}
}

std::string WindowsPathOf(const std::string& unixPath)
{
    if (unixPath.empty() || unixPath[0] != '/') return unixPath;
    std::string path = "Z:" + unixPath;
    for (char& c : path)
        if (c == '/') c = '\\';
    return path;
}

std::string DdeServerProcess::ProgramPath()
{
    return WindowsPathOf(DdeStandInUnixPath);
}

DdeServerProcess::DdeServerProcess()
    : DdeServerProcess(Options())
{
}

DdeServerProcess::DdeServerProcess(const Options& options)
{
    static int serial = 0;
    char temp[MAX_PATH] = {};
    ::GetTempPathA(sizeof temp, temp);
    char name[64];
    std::snprintf(name, sizeof name, "ddestandin_%lu_%d", ::GetCurrentProcessId(), ++serial);
    EventName = name;
    RecordPath = std::string(temp) + name + ".rec";

    std::string commandLine = "\"" + ProgramPath() + "\" \"" + RecordPath + "\" " + EventName + " --timeout " +
                              std::to_string(options.Timeout);
    if (options.ExecuteDelay) commandLine += " --delay " + std::to_string(options.ExecuteDelay);
    if (options.DisconnectAfterExecute) commandLine += " --disconnect";
    if (!options.GroupFile.empty()) commandLine += " --group \"" + options.GroupFile + "\"";
    if (!options.Refuse.empty()) commandLine += " --refuse \"" + options.Refuse + "\"";

    HANDLE ready = ::CreateEventA(nullptr, TRUE, FALSE, (EventName + ".ready").c_str());
    StopEvent = ::CreateEventA(nullptr, TRUE, FALSE, (EventName + ".stop").c_str());

    // The stand-in serves the desktop of the test that starts it.
    std::string desktop = DesktopOf(::GetProcessWindowStation()) + "\\" +
                          DesktopOf(::GetThreadDesktop(::GetCurrentThreadId()));
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    startup.lpDesktop = &desktop[0];
    PROCESS_INFORMATION info = {};
    if (::CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info)) {
        ::CloseHandle(info.hThread);
        Process = info.hProcess;
        HANDLE waits[2] = {ready, Process};
        const DWORD wait = ::WaitForMultipleObjects(2, waits, FALSE, 20000);
        IsReady = wait == WAIT_OBJECT_0;
        DWORD exitCode = 0;
        if (wait == WAIT_OBJECT_0 + 1 && ::GetExitCodeProcess(Process, &exitCode))
            std::fprintf(stderr, "the DDE stand-in ended before it was ready, exit code %lu\n", exitCode);
        else if (!IsReady)
            std::fprintf(stderr, "the DDE stand-in was not ready: wait %lu, error %lu\n", wait, ::GetLastError());
    } else {
        std::fprintf(stderr, "the DDE stand-in did not start: error %lu\n", ::GetLastError());
    }
    ::CloseHandle(ready);
}

DdeServerProcess::~DdeServerProcess()
{
    Stop();
    if (StopEvent) ::CloseHandle(StopEvent);
    ::DeleteFileA(RecordPath.c_str());
}

void DdeServerProcess::Stop()
{
    if (!Process) return;
    ::SetEvent(StopEvent);
    if (::WaitForSingleObject(Process, 10000) != WAIT_OBJECT_0) ::TerminateProcess(Process, 1);
    ::CloseHandle(Process);
    Process = nullptr;
}

bool DdeServerProcess::Running() const
{
    return Process && ::WaitForSingleObject(Process, 0) == WAIT_TIMEOUT;
}

std::vector<DdeServerProcess::Record> DdeServerProcess::Records() const
{
    std::vector<Record> records;
    HANDLE file = ::CreateFileA(RecordPath.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return records;
    std::string content;
    char buffer[4096];
    DWORD got = 0;
    while (::ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got) content.append(buffer, got);
    ::CloseHandle(file);

    std::size_t at = 0;
    while (at < content.size()) {
        std::size_t end = content.find('\n', at);
        if (end == std::string::npos) break;
        std::istringstream header(content.substr(at, end - at));
        Record record;
        std::size_t length = 0;
        if (!(header >> record.Kind >> length)) break;
        at = end + 1;
        if (at + length + 1 > content.size()) break;  // still being written
        record.Bytes = content.substr(at, length);
        at += length + 1;
        records.push_back(record);
    }
    return records;
}

std::vector<std::string> DdeServerProcess::Executes() const
{
    std::vector<std::string> executes;
    for (const Record& record : Records())
        if (record.Kind == "EXECUTE") executes.push_back(record.Bytes);
    return executes;
}

int DdeServerProcess::Connections() const
{
    int count = 0;
    for (const Record& record : Records())
        if (record.Kind == "CONNECT") ++count;
    return count;
}
