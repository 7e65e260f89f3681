#pragma once
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/kit/NoCopy.h"

// Running one test of this test program in a child process on a desktop of
// its own, and hiding Wine's Program Manager DDE server there.
//
// Under Wine every desktop gets its own desktop process (explorer.exe
// /desktop), and that process serves the DDE services "Progman", "Shell" and
// "Folders" (shell32's ShellDDEInit) for the windows of its desktop. A DDE
// client reaches only the servers of its own desktop, so a test that needs
// Program Manager absent, or only a stand-in present, runs on a private
// desktop where it can hide that desktop's shell services without touching
// anybody else's.

// Whether this process is such a child.
bool OnPrivateDesktop();

// Runs the named test ("Suite.Name") of this program again in a child
// process on the desktop "tstestkit_<parent process id>", forwards its output,
// and succeeds when the child ran exactly that test and it passed.
::testing::AssertionResult RunOnPrivateDesktop(const std::string& testName);

// The full name of the running test, "Suite.Name".
std::string CurrentTestName();

// In a test body: runs the rest of the body in a child on a private desktop.
#define TSTESTKIT_RUN_ON_PRIVATE_DESKTOP()                                  \
    do {                                                                    \
        if (!OnPrivateDesktop()) {                                          \
            EXPECT_TRUE(RunOnPrivateDesktop(CurrentTestName()));            \
            return;                                                         \
        }                                                                   \
    } while (0)

// Hides the DDE server windows of other processes on this (private) desktop
// from DDE broadcasts for its lifetime, so that no DdeConnect reaches them:
// Wine's broadcast skips windows styled WS_CHILD without WS_POPUP. Refuses to
// act on any desktop but a private one.
class ShellDdeServersHidden : private NoCopy {
public:
    ShellDdeServersHidden();
    ~ShellDdeServersHidden();

    int Count() const { return static_cast<int>(Hidden.size()); }

private:
    std::vector<std::pair<HWND, LONG_PTR>> Hidden;
};

// Whether any DDE server on this desktop accepts a conversation with the
// service and topic "PROGMAN".
bool ProgmanAnswers();

// The name of the calling thread's desktop.
std::string CurrentDesktopName();
