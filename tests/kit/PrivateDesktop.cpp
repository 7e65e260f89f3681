#include "tests/kit/PrivateDesktop.h"

#include <ddeml.h>

#include "tests/kit/WindowSearch.h"

#include <cstdio>
#include <cstring>
#include <thread>

namespace {
const char* const ChildMarker = "TSTESTKIT_PRIVATE_DESKTOP";
const char* const DesktopPrefix = "tstestkit_";

std::string ObjectName(HANDLE object)
{
    char name[256] = {};
    if (!object || !::GetUserObjectInformationA(object, UOI_NAME, name, sizeof name, nullptr)) return std::string();
    return name;
}

// gtest's sharding variables, hidden while the child starts: the child runs
// exactly the one test it is named, whichever shard of the parent's run that is.
class ShardingHidden {
public:
    ShardingHidden()
    {
        for (int i = 0; i < 2; ++i) {
            DWORD length = ::GetEnvironmentVariableA(Names[i], Values[i], sizeof Values[i]);
            Had[i] = length > 0 && length < sizeof Values[i];
            if (Had[i]) ::SetEnvironmentVariableA(Names[i], nullptr);
        }
    }
    ~ShardingHidden()
    {
        for (int i = 0; i < 2; ++i)
            if (Had[i]) ::SetEnvironmentVariableA(Names[i], Values[i]);
    }
    ShardingHidden(const ShardingHidden&) = delete;
    ShardingHidden& operator=(const ShardingHidden&) = delete;

private:
    const char* const Names[2] = {"GTEST_TOTAL_SHARDS", "GTEST_SHARD_INDEX"};
    char Values[2][32] = {};
    bool Had[2] = {};
};

HDDEDATA CALLBACK IgnoreDde(UINT, UINT, HCONV, HSZ, HSZ, HDDEDATA, ULONG_PTR, ULONG_PTR)
{
    return nullptr;
}
}

bool OnPrivateDesktop()
{
    char value[8] = {};
    return ::GetEnvironmentVariableA(ChildMarker, value, sizeof value) > 0 &&
           CurrentDesktopName().rfind(DesktopPrefix, 0) == 0;
}

std::string CurrentDesktopName()
{
    return ObjectName(::GetThreadDesktop(::GetCurrentThreadId()));
}

std::string CurrentTestName()
{
    const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
    return info ? std::string(info->test_suite_name()) + "." + info->name() : std::string();
}

::testing::AssertionResult RunOnPrivateDesktop(const std::string& testName)
{
    char program[MAX_PATH] = {};
    ::GetModuleFileNameA(nullptr, program, sizeof program);
    std::string commandLine = "\"" + std::string(program) + "\" --gtest_filter=" + testName;
    const std::string desktopName = DesktopPrefix + std::to_string(::GetCurrentProcessId());
    std::string desktop = ObjectName(::GetProcessWindowStation()) + "\\" + desktopName;

    SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
    HANDLE readEnd = nullptr;
    HANDLE writeEnd = nullptr;
    if (!::CreatePipe(&readEnd, &writeEnd, &inherit, 0)) return ::testing::AssertionFailure() << "no pipe";
    ::SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);

    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    startup.lpDesktop = &desktop[0];
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = ::GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = writeEnd;
    startup.hStdError = writeEnd;
    PROCESS_INFORMATION info = {};
    ::SetEnvironmentVariableA(ChildMarker, "1");
    ShardingHidden sharding;
    // Wine gives the child's other threads the desktop of the thread that
    // started it (only its main thread follows lpDesktop), so the child is
    // started from a thread of its own that has moved to that desktop first.
    BOOL started = FALSE;
    std::thread starter([&] {
        HDESK desk = ::CreateDesktopA(desktopName.c_str(), nullptr, nullptr, 0, GENERIC_ALL, nullptr);
        if (desk) ::SetThreadDesktop(desk);
        started = ::CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                                   &startup, &info);
        if (desk) ::CloseDesktop(desk);
    });
    starter.join();
    ::SetEnvironmentVariableA(ChildMarker, nullptr);
    ::CloseHandle(writeEnd);
    if (!started) {
        ::CloseHandle(readEnd);
        return ::testing::AssertionFailure() << "cannot start " << commandLine;
    }
    ::CloseHandle(info.hThread);

    // Processes the child starts on its desktop (Wine's desktop process
    // among them) may inherit the pipe, so the output is read while the
    // child lives rather than until the pipe closes.
    std::string output;
    const DWORD limit = 300000;
    const DWORD start = ::GetTickCount();
    bool exited = false;
    for (;;) {
        DWORD available = 0;
        while (::PeekNamedPipe(readEnd, nullptr, 0, nullptr, &available, nullptr) && available) {
            char buffer[4096];
            DWORD got = 0;
            if (!::ReadFile(readEnd, buffer, sizeof buffer < available ? sizeof buffer : available, &got, nullptr) ||
                !got)
                break;
            output.append(buffer, got);
            std::fwrite(buffer, 1, got, stdout);
        }
        std::fflush(stdout);
        if (exited) break;
        if (::WaitForSingleObject(info.hProcess, 50) == WAIT_OBJECT_0) exited = true;  // one more read
        else if (::GetTickCount() - start > limit) break;
    }
    ::CloseHandle(readEnd);
    DWORD exitCode = 1;
    if (!exited) {
        ::TerminateProcess(info.hProcess, 1);
        ::CloseHandle(info.hProcess);
        return ::testing::AssertionFailure() << testName << " did not finish on " << desktop;
    }
    ::GetExitCodeProcess(info.hProcess, &exitCode);
    ::CloseHandle(info.hProcess);
    if (output.find("[       OK ] " + testName + " ") == std::string::npos)
        return ::testing::AssertionFailure() << testName << " did not pass on " << desktop << " (exit code "
                                             << exitCode << ")";
    if (exitCode != 0) return ::testing::AssertionFailure() << "exit code " << exitCode;
    return ::testing::AssertionSuccess();
}

ShellDdeServersHidden::ShellDdeServersHidden()
{
    if (CurrentDesktopName().rfind(DesktopPrefix, 0) != 0) return;
    for (HWND window : TopLevelWindows()) {
        DWORD process = 0;
        ::GetWindowThreadProcessId(window, &process);
        if (process == ::GetCurrentProcessId() || WindowClassName(window) != "WineDdeServerName") continue;
        LONG_PTR style = ::GetWindowLongPtrA(window, GWL_STYLE);
        ::SetWindowLongPtrA(window, GWL_STYLE, (style & ~static_cast<LONG_PTR>(WS_POPUP)) | WS_CHILD);
        Hidden.emplace_back(window, style);
    }
}

ShellDdeServersHidden::~ShellDdeServersHidden()
{
    for (const auto& entry : Hidden)
        if (::IsWindow(entry.first)) ::SetWindowLongPtrA(entry.first, GWL_STYLE, entry.second);
}

bool ProgmanAnswers()
{
    DWORD instance = 0;
    if (::DdeInitializeA(&instance, IgnoreDde, APPCMD_CLIENTONLY, 0) != DMLERR_NO_ERROR) return false;
    HSZ name = ::DdeCreateStringHandleA(instance, "PROGMAN", CP_WINANSI);
    HCONV conversation = ::DdeConnect(instance, name, name, nullptr);
    if (conversation) ::DdeDisconnect(conversation);
    ::DdeFreeStringHandle(instance, name);
    ::DdeUninitialize(instance);
    return conversation != nullptr;
}
