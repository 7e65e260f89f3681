#pragma once
#include <windows.h>

// Where the launcher may put its copy: the system's temporary folder in its
// short (8.3) form, unless that lies on the source's drive or on a removable
// drive (GetTempPath gives the current directory, often A:\, when TMP and
// TEMP are unset: the copy would land on the floppy the installer is about to
// ask to be taken out) or the help file's path in it would not fit the help
// viewer. False when there is no such folder.
bool ChooseTemporaryFolder(const char* sourceFolder, char* folder, DWORD size);

// A folder of the launcher's own under a temporary folder holding the
// installer and its companions, so that they stay at hand while disk 1 is
// out of the drive. Removed with everything in it when the object goes.
class TemporaryCopy {
public:
    // The platform's copy, unless a test puts another in its place.
    using CopyStep = BOOL(WINAPI*)(LPCSTR from, LPCSTR to, BOOL failIfExists);
    explicit TemporaryCopy(CopyStep copy = ::CopyFileA) : Copy(copy) {}
    ~TemporaryCopy();
    TemporaryCopy(const TemporaryCopy&) = delete;
    TemporaryCopy& operator=(const TemporaryCopy&) = delete;

    // Copies `installer` (a file name) and each companion that is there from
    // `sourceFolder` (with its trailing backslash) into a new folder under
    // `temporaryFolder`. False, with nothing left behind, when the folder
    // cannot be made or a copy fails or comes out of another size than its
    // source (a read error can end a copy early without the copy failing).
    bool Make(const char* temporaryFolder, const char* sourceFolder, const char* installer);
    // The folder, without a trailing backslash; empty before Make succeeded.
    const char* Folder() const { return Path; }
    // Its copy of the installer.
    const char* Installer() const { return InstallerPath; }

private:
    bool CreateFolder(const char* temporaryFolder);
    bool CopyIn(const char* sourceFolder, const char* name, bool required);
    void Remove();

    CopyStep Copy;
    char Path[MAX_PATH] = {};
    char InstallerPath[MAX_PATH] = {};
};
