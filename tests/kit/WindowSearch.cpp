#include "tests/kit/WindowSearch.h"

std::vector<HWND> TopLevelWindows()
{
    std::vector<HWND> windows;
    ::EnumWindows(
        [](HWND window, LPARAM param) -> BOOL {
            reinterpret_cast<std::vector<HWND>*>(param)->push_back(window);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&windows));
    return windows;
}

namespace {
// The text the system keeps for a window: a top-level window's caption, a
// static's or a button's text (an edit control keeps its own).
std::string KeptText(HWND window)
{
    // No message: it would wake the window's thread (an emulated process,
    // in the end-to-end tests) at every poll, and wait while it is busy.
    wchar_t wide[1024] = {};
    ::InternalGetWindowText(window, wide, sizeof wide / sizeof wide[0]);
    char text[2048] = {};
    ::WideCharToMultiByte(CP_ACP, 0, wide, -1, text, sizeof text, nullptr, nullptr);
    return text;
}
}  // namespace

std::vector<WindowInfo> VisibleTopLevelWindows(DWORD processId)
{
    // What other threads send this thread's windows is answered at each look
    // (a program's DDE broadcast reaches every top-level window, a hidden one
    // of this thread too): a test that waits by looking would otherwise hold
    // the sender up for as long as it waits.
    MSG pending;
    ::PeekMessageA(&pending, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    std::vector<WindowInfo> windows;
    for (HWND window : TopLevelWindows()) {
        if (!::IsWindowVisible(window)) continue;
        WindowInfo info;
        info.Handle = window;
        ::GetWindowThreadProcessId(window, &info.ProcessId);
        if (processId && info.ProcessId != processId) continue;
        info.ClassName = WindowClassName(window);
        info.Title = KeptText(window);
        windows.push_back(info);
    }
    return windows;
}

std::vector<HWND> VisibleDialogsOf(DWORD processId)
{
    std::vector<HWND> dialogs;
    for (HWND window : TopLevelWindows()) {
        DWORD process = 0;
        ::GetWindowThreadProcessId(window, &process);
        if (process == processId && ::IsWindowVisible(window) && WindowClassName(window) == "#32770")
            dialogs.push_back(window);
    }
    return dialogs;
}

std::string WindowText(HWND window)
{
    char text[1024] = {};
    ::SendMessageTimeoutA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 2000,
                          nullptr);
    return text;
}

std::string WindowClassName(HWND window)
{
    char name[256] = {};
    ::GetClassNameA(window, name, sizeof name);
    return name;
}

std::string MessageBoxText(HWND box)
{
    // Set before the box is shown, and read without a message: an emulated
    // program on a busy machine may answer one later than any bound.
    HWND text = ::GetDlgItem(box, 0xFFFF);
    return text ? KeptText(text) : std::string();
}

std::vector<HWND> FolderWindows(const std::string& title)
{
    std::vector<HWND> found;
    for (const WindowInfo& window : VisibleTopLevelWindows())
        if ((window.ClassName == "ExplorerWClass" || window.ClassName == "CabinetWClass") && window.Title == title)
            found.push_back(window.Handle);
    return found;
}

int CloseFolderWindows(const std::string& title)
{
    const std::vector<HWND> windows = FolderWindows(title);
    for (HWND window : windows) ::PostMessageA(window, WM_CLOSE, 0, 0);
    return static_cast<int>(windows.size());
}
