#pragma once
#include <windows.h>

#include <gtest/gtest.h>

#include "tests/kit/NoCopy.h"
#include "tests/kit/WindowSearch.h"

#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

// Finding top-level windows of any process (an installer started by the
// launcher stand-in, its message boxes and dialogs) by exact title.

constexpr DWORD kDefaultWaitMs = 10000;

struct WindowMatch {
    std::string Title;      // exact
    std::string ClassName;  // exact; empty matches any class
    DWORD ProcessId = 0;    // 0 matches any process
};

// A message box or dialog (class #32770) with this title.
inline WindowMatch BoxTitled(const std::string& title, DWORD processId = 0)
{
    return {title, "#32770", processId};
}

// One line per window: handle, process, class and title.
std::string DescribeWindows(const std::vector<WindowInfo>& windows);
bool Matches(const WindowMatch& match, const WindowInfo& window);

// Waits until a visible top-level window matches. On time-out the failure
// lists every visible top-level window that could be seen.
//   HWND box;
//   ASSERT_TRUE(WaitForWindow(BoxTitled("Installation Error"), box));
::testing::AssertionResult WaitForWindow(const WindowMatch& match, HWND& found, DWORD timeoutMs = kDefaultWaitMs);
// Waits until the window no longer exists.
::testing::AssertionResult WaitForWindowGone(HWND window, DWORD timeoutMs = kDefaultWaitMs);

// Records, from a background thread, every visible top-level window that
// shows up while it lives (each window once, with its first title), so a test
// can tell that a window never appeared or that exactly one box did.
class WindowRecorder : private NoCopy {
public:
    WindowRecorder();
    ~WindowRecorder();

    std::vector<WindowInfo> Seen() const;
    std::vector<WindowInfo> Seen(const WindowMatch& match) const;
    // Sees once more now, so a window shown just before is included.
    void Poll();

private:
    void Run();

    mutable std::mutex Lock;
    std::vector<WindowInfo> Windows;
    std::atomic<bool> Stop{false};
    std::thread Worker;
};
