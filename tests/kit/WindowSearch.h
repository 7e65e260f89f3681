#pragma once
#include <windows.h>

#include <string>
#include <vector>

// Looking for top-level windows of this process or another: the one place
// that enumerates them. No test framework here, so that the benchmark's
// driver can use it too.

struct WindowInfo {
    HWND Handle = nullptr;
    std::string Title;
    std::string ClassName;
    DWORD ProcessId = 0;
};

// Every top-level window of the calling thread's desktop, front to back.
std::vector<HWND> TopLevelWindows();
// The visible ones, with title, class and process; `processId` 0 takes any
// process.
std::vector<WindowInfo> VisibleTopLevelWindows(DWORD processId = 0);
// The visible dialogs and message boxes (class #32770) of a process.
std::vector<HWND> VisibleDialogsOf(DWORD processId);

// Reads a window's text (works across processes for standard controls).
std::string WindowText(HWND window);
std::string WindowClassName(HWND window);
// The text of a message box: its static control 65535.
std::string MessageBoxText(HWND box);

// The shell's visible folder windows of that title (Wine's Program Manager
// opens one for each group it creates).
std::vector<HWND> FolderWindows(const std::string& title);
// Posts WM_CLOSE to each of them (it would otherwise outlive the test).
// Returns how many were asked to close.
int CloseFolderWindows(const std::string& title);
