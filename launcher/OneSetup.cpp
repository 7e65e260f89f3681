#include "launcher/OneSetup.h"

namespace {
const char* const MutexName = "Tessaryn30Setup";
// The installer's main window: the window framework's frame class and its title.
const char* const InstallerClass = "TsFrameWindow";
const char* const InstallerTitle = "Tessaryn 3.0 Installation";
}

OneSetup::OneSetup()
{
    Mutex = ::CreateMutexA(nullptr, FALSE, MutexName);
    Another = Mutex && ::GetLastError() == ERROR_ALREADY_EXISTS;
}

OneSetup::~OneSetup()
{
    if (Mutex) ::CloseHandle(Mutex);
}

HWND OneSetup::InstallerWindow()
{
    return ::FindWindowA(InstallerClass, InstallerTitle);
}

void OneSetup::ShowRunningInstaller()
{
    HWND main = InstallerWindow();
    if (!main) return;
    if (::IsIconic(main)) ::ShowWindow(main, SW_RESTORE);
    // A modal box or dialog of the installer is what takes the input.
    ::SetForegroundWindow(::GetLastActivePopup(main));
}
