#pragma once
#include <windows.h>

// Only one SETUP.EXE runs the installer at a time: two installers would write
// the same target and the same INSTALL.OPT. The first one holds a named
// object for its whole life; a later one finds it taken.
class OneSetup {
public:
    OneSetup();
    ~OneSetup();
    OneSetup(const OneSetup&) = delete;
    OneSetup& operator=(const OneSetup&) = delete;

    // Another SETUP.EXE already runs.
    bool AnotherRuns() const { return Another; }
    // Brings the running installer's main window (or the box or dialog it
    // shows) to the front, when there is one yet.
    static void ShowRunningInstaller();
    // The installer's main window, once it is there.
    static HWND InstallerWindow();

private:
    HANDLE Mutex = nullptr;
    bool Another = false;
};
