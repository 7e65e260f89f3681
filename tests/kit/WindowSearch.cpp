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

std::vector<WindowInfo> VisibleTopLevelWindows(DWORD processId)
{
    std::vector<WindowInfo> windows;
    for (HWND window : TopLevelWindows()) {
        if (!::IsWindowVisible(window)) continue;
        WindowInfo info;
        info.Handle = window;
        ::GetWindowThreadProcessId(window, &info.ProcessId);
        if (processId && info.ProcessId != processId) continue;
        info.ClassName = WindowClassName(window);
        windows.push_back(info);
    }
    for (WindowInfo& window : windows) window.Title = WindowText(window.Handle);
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
    HWND text = ::GetDlgItem(box, 0xFFFF);
    return text ? WindowText(text) : std::string();
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
