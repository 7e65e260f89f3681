#pragma once
#include <windows.h>
#include <lzexpand.h>

#include "launcher/plain/CopyPlace.h"
#include "launcher/plain/LaunchPlan.h"

// The folders the copy may go to, each probed: TEMP, the TEMP folder in the
// Windows folder, the Windows drive's root, in their short (8.3) forms.
class CopyPlaces {
public:
    CopyPlaces();
    const CopyPlaceProbe* Probes() const { return Probe; }

private:
    CopyPlaceFolders Folders = {};
    CopyPlaceProbe Probe[kCopyPlaceCount];
};

// A folder of the launcher's own on a hard disk holding the installer and its
// companions, expanded from disk 1, so that they stay at hand while disk 1 is
// out of the drive. Removed with everything in it when the object goes.
class TemporaryCopy {
public:
    // The platform's expansion, unless a test puts another in its place.
    using ExpandStep = LONG(WINAPI*)(INT source, INT destination);
    explicit TemporaryCopy(ExpandStep expand = ::LZCopy) : Expand(expand) {}
    ~TemporaryCopy();
    TemporaryCopy(const TemporaryCopy&) = delete;
    TemporaryCopy& operator=(const TemporaryCopy&) = delete;

    // Finds `installer` (a file name), each companion and `engine` in
    // `sourceFolder` (with its trailing backslash), compressed (TSINST95.EX_)
    // or, on an older disk 1, as they are, with the length each expands to,
    // and what the folder's CHECKSUM.LST, where it has one, says each expands
    // to; `windowless` for a run whose engine starts at once (ListLaunchFiles). False
    // when the installer is there in neither form.
    bool Find(const char* sourceFolder, const char* installer, const char* engine, bool windowless = false);
    const CopyNeed& Need() const { return Needed; }

    enum class Result { Made, PlaceFailed, SourceDamaged };
    // Makes a new folder under `place` and expands into it every file found
    // that the installer needs before its main window shows, each to the
    // length its source declares (a compressed file's header, a plain file's
    // size) and, where the folder has a checksum list, to the CRC-32 and size
    // it gives. Otherwise nothing is left: PlaceFailed where writing failed,
    // SourceDamaged where a file of the disk does not read whole or is not
    // what its list says (Damaged() names it).
    Result Make(const char* place);
    // Expands the files that may come after the main window, each under a
    // scratch name first and given its own once whole, so that the installer
    // never finds one cut; one that fails is left out.
    void AddLateFiles();
    // The folder, without a trailing backslash; empty before Make succeeded.
    const char* Folder() const { return Path; }
    // Its copy of the installer.
    const char* Installer() const { return InstallerPath; }
    // The file of the disk read last: the one at fault after SourceDamaged.
    const char* Damaged() const { return ReadingPath; }

private:
    struct DiskFile {
        const char* Name = nullptr;  // as installed: TSINST95.EXE
        bool Compressed = false;     // on the disk as TSINST95.EX_
        bool Late = false;           // needed only once the main window shows
        LONG Length = 0;             // expanded
    };

    // The file's path on the disk, in its form there.
    bool SourceOf(const DiskFile& file, char* path) const;
    void ReadChecksums();
    bool CreateFolder(const char* place);
    Result ExpandIn(const DiskFile& file, const char* name, char* to);
    void Remove();

    ExpandStep Expand;
    const char* SourceFolder = "";
    DiskFile Files[LaunchFileCount];
    std::size_t FileCount = 0;
    bool ChecksumsListed = false;  // the folder has a checksum list: every file must be on it
    CopyNeed Needed;
    char Path[MAX_PATH] = {};
    char InstallerPath[MAX_PATH] = {};
    char ReadingPath[MAX_PATH] = {};
};
