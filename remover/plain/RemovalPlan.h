#pragma once
// What the removal program decides, without the platform: which of the
// record's files and folders it takes away, whether a registration is its
// own, the line that deletes a file at the next start of Windows 95, and
// the texts of its boxes.
#include <cstdint>
#include <string>
#include <vector>

#include "engine/plain/InstallRecord.h"

// The removal program's file name, in the installation's folder.
extern const char* const kRemoverName;  // "TSWREMOV.EXE"
extern const char* const kRemovalTitle;  // "Tessaryn 3.0 Removal"

// The names of the recorded files, each once (names compare without regard
// to case), in the record's order; `ownName` (the running program's, in the
// installation's folder itself) is left out: it goes last, by another way.
std::vector<std::string> RecordedFileNames(const InstallRecordContents& record, const char* ownName);

// Whether a file of that name, size and CRC-32 is one the record says was
// installed: any of the name's lines. Anything else the person changed.
bool IsInstalledVersion(const InstallRecordContents& record, const std::string& name, std::uint32_t size,
                        std::uint32_t crc);

// The recorded folders below the installation's folder, each once, the
// deepest first, so that each is empty of what was removed when its turn
// comes. The installation's folder itself ("."), which holds the running
// program, is not among them: InstalledFolderItself says whether it was made.
std::vector<std::string> FoldersDeepestFirst(const InstallRecordContents& record);
bool InstalledFolderItself(const InstallRecordContents& record);

// The Program Manager command that deletes the group, personal or common.
std::string DeleteGroupCommand(bool common);

// Whether a registration's UninstallString starts this program (`ownPath`):
// the same path without regard to case, quoted or not. A later installation
// elsewhere takes the registration over, and it is then left alone.
bool IsOwnUninstallString(const char* value, const char* ownPath);

// WININIT.INI's text with "NUL=<path>" in its [rename] section (added at the
// end when there is none): Windows 95 deletes the file when it next starts.
// The profile functions would replace a NUL= line already there, so the
// line is added by hand; unchanged when the line is there already.
std::string WithDeletionAtStart(const std::string& wininit, const std::string& shortPath);

// The question before anything is removed from `folder`.
std::string RemovalQuestion(const char* folder);

// What a removal did, for its last box.
struct RemovalOutcome {
    enum class KeptReason { Changed, NotInstalled, Undeletable };
    struct Kept {
        std::string Name;  // from the installation's folder
        KeptReason Reason;
    };
    unsigned FilesRemoved = 0;
    unsigned FoldersRemoved = 0;
    std::vector<Kept> KeptFiles;
    bool GroupRemoved = false;       // or there was none to remove
    bool GroupLeft = false;          // recorded, and Program Manager did not take it away
    bool RegistrationRemoved = false;
    bool RegistrationLeft = false;   // this program's registration could not be deleted
    bool OwnFileLater = false;       // the program's own file goes at the next start
    bool Cancelled = false;          // stopped at a file it could not remove
    bool RecordLeft = false;         // the record is still there: the next removal goes on from it
};

// Whether everything the installations made that should go is gone but the
// record and the program's own file, which go last.
bool NothingLeftToRemove(const RemovalOutcome& outcome);
// Whether everything the removal should take away is gone, or goes at the
// next start: the program's exit code is 0 then.
bool RemovalComplete(const RemovalOutcome& outcome);

// The last box's text: what was removed, then each file kept and why (at
// most a screenful of names), and what is left to do.
std::string LastBoxText(const char* folder, const RemovalOutcome& outcome);
