#pragma once
#include <windows.h>

// A folder of the launcher's own under the system's temporary folder holding
// the installer and its companions, so that they stay at hand while disk 1 is
// out of the drive. Removed with everything in it when the object goes.
class TemporaryCopy {
public:
    TemporaryCopy() = default;
    ~TemporaryCopy();
    TemporaryCopy(const TemporaryCopy&) = delete;
    TemporaryCopy& operator=(const TemporaryCopy&) = delete;

    // Copies `installer` (a file name) and each companion that is there from
    // `sourceFolder` (with its trailing backslash). False, with nothing left
    // behind, when there is no temporary folder or a copy cannot be made.
    bool Make(const char* sourceFolder, const char* installer);
    // The folder, without a trailing backslash; empty before Make succeeded.
    const char* Folder() const { return Path; }
    // Its copy of the installer.
    const char* Installer() const { return InstallerPath; }

private:
    bool CreateFolder();
    bool CopyIn(const char* sourceFolder, const char* name, bool required);
    void Remove();

    char Path[MAX_PATH] = {};
    char InstallerPath[MAX_PATH] = {};
};
