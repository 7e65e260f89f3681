#include "tests/kit/WindowFinder.h"

#include <algorithm>
#include <chrono>
#include <cstdio>

std::string DescribeWindows(const std::vector<WindowInfo>& windows)
{
    if (windows.empty()) return "  (no visible top-level windows)\n";
    std::string text;
    for (const WindowInfo& window : windows) {
        char line[128];
        std::snprintf(line, sizeof line, "  %p pid %lu class \"", static_cast<void*>(window.Handle),
                      static_cast<unsigned long>(window.ProcessId));
        text += line + window.ClassName + "\" title \"" + window.Title + "\"\n";
    }
    return text;
}

bool Matches(const WindowMatch& match, const WindowInfo& window)
{
    return window.Title == match.Title && (match.ClassName.empty() || window.ClassName == match.ClassName) &&
           (match.ProcessId == 0 || window.ProcessId == match.ProcessId);
}

::testing::AssertionResult WaitForWindow(const WindowMatch& match, HWND& found, DWORD timeoutMs)
{
    found = nullptr;
    // Waiting for a window of a process that has ended is pointless.
    HANDLE process = match.ProcessId ? ::OpenProcess(SYNCHRONIZE, FALSE, match.ProcessId) : nullptr;
    bool ended = false;
    DWORD start = ::GetTickCount();
    std::vector<WindowInfo> windows;
    for (;;) {
        windows = VisibleTopLevelWindows();
        for (const WindowInfo& window : windows) {
            if (Matches(match, window)) {
                found = window.Handle;
                // Found when its thread answers too: past its creation, in its message loop.
                ::SendMessageTimeoutA(found, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 2000, nullptr);
                if (process) ::CloseHandle(process);
                return ::testing::AssertionSuccess();
            }
        }
        ended = process && ::WaitForSingleObject(process, 0) == WAIT_OBJECT_0;
        if (ended || ::GetTickCount() - start >= timeoutMs) break;
        ::Sleep(10);
    }
    DWORD exitCode = 0;
    if (ended) ::GetExitCodeProcess(process, &exitCode);
    if (process) ::CloseHandle(process);
    auto failure = ::testing::AssertionFailure();
    if (ended) {
        failure << "process " << match.ProcessId << " ended (exit code 0x" << std::hex << exitCode << std::dec
                << ") without a visible top-level window titled \"" << match.Title << "\"; visible top-level windows:\n"
                << DescribeWindows(windows);
        return failure;
    }
    failure << "no visible top-level window titled \"" << match.Title << "\"";
    if (!match.ClassName.empty()) failure << " of class \"" << match.ClassName << "\"";
    if (match.ProcessId) failure << " in process " << match.ProcessId;
    failure << " within " << timeoutMs << " ms; visible top-level windows:\n" << DescribeWindows(windows);
    return failure;
}

::testing::AssertionResult WaitForWindowGone(HWND window, DWORD timeoutMs)
{
    DWORD start = ::GetTickCount();
    while (::IsWindow(window)) {
        if (::GetTickCount() - start >= timeoutMs) {
            return ::testing::AssertionFailure()
                   << "window " << static_cast<void*>(window) << " \"" << WindowText(window) << "\" still there after "
                   << timeoutMs << " ms";
        }
        ::Sleep(10);
    }
    return ::testing::AssertionSuccess();
}

WindowRecorder::WindowRecorder()
    : Worker([this] { Run(); })
{
}

WindowRecorder::~WindowRecorder()
{
    Stop = true;
    Worker.join();
}

void WindowRecorder::Poll()
{
    std::vector<WindowInfo> now = VisibleTopLevelWindows();
    std::lock_guard<std::mutex> guard(Lock);
    for (const WindowInfo& window : now) {
        auto known = std::find_if(Windows.begin(), Windows.end(), [&](const WindowInfo& w) {
            return w.Handle == window.Handle && w.ProcessId == window.ProcessId;
        });
        if (known == Windows.end()) Windows.push_back(window);
    }
}

void WindowRecorder::Run()
{
    while (!Stop) {
        Poll();
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

std::vector<WindowInfo> WindowRecorder::Seen() const
{
    std::lock_guard<std::mutex> guard(Lock);
    return Windows;
}

std::vector<WindowInfo> WindowRecorder::Seen(const WindowMatch& match) const
{
    std::vector<WindowInfo> matching;
    for (const WindowInfo& window : Seen())
        if (Matches(match, window)) matching.push_back(window);
    return matching;
}
