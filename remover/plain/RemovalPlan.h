#pragma once
// What the removal program decides, without the platform: which of the
// record's files and folders it takes away and in what order, whether a
// registration is its own, and the texts of its boxes. Written on fixed buffers: the
// program must stay small.
#include <cstddef>
#include <cstdint>

#include "engine/plain/InstallRecord.h"

extern const char* const kRemovalTitle;  // "Tessaryn 3.0 Removal"

// Whether two names are the same without regard to case (names in a record
// are ASCII, IsSafeInstalledName).
bool SameName(const char* a, const char* b);

// Whether record.Files[index] is the first line of its name: each name is
// looked at once, however many versions of it the record holds.
bool FirstLineOfFile(const InstallRecordContents& record, std::size_t index);

// Whether a file of that name, size and CRC-32 is one the record says was
// installed: any of the name's lines. Anything else the person changed.
bool IsInstalledVersion(const InstallRecordContents& record, const char* name, std::uint32_t size,
                        std::uint32_t crc);

// The recorded folders below the installation's folder are removed deepest
// first (each then empty of what was removed): those of depth `depth` (1 is
// a folder in the installation's folder), each once, in the record's order
// within a depth. FolderDepth of "." is 0.
constexpr std::size_t kFolderDepthMax = 32;
std::size_t FolderDepth(const char* folder);
bool FirstLineOfFolder(const InstallRecordContents& record, std::size_t index);
// Whether an installation made the installation's folder itself ("."): it
// holds the running program, so it can go only after the program's own file.
bool InstalledFolderItself(const InstallRecordContents& record);
bool RecordedFolderName(const InstallRecordContents& record, const char* name);
bool RecordedFileName(const InstallRecordContents& record, const char* name);

// The Program Manager command that deletes the group, personal or common.
const char* DeleteGroupCommand(bool common);

// Whether every item of a group is this installation's: Program Manager's
// answer to a request for the group's contents is the group's line, then a
// line for each item, "title","command line",... (lines end in CR LF); an
// item is this installation's where its command line names a path in
// `folder`, in the form the program was started by (the group's item of the
// installation starts it in the form its items have).
bool OnlyItemsOf(const char* contents, const char* folder);

// The question before anything is removed from `folder`; it says that the
// person's own and changed files stay.
void RemovalQuestion(const char* folder, char* text, std::size_t size);

// What a removal did, for its last box.
struct RemovalOutcome {
    enum class KeptReason { Changed, NotInstalled, Undeletable };
    // The last box names this many kept files, then counts the others.
    static constexpr std::size_t NamesShown = 12;
    struct Kept {
        char Name[kInstallRecordLineMax];  // from the installation's folder
        KeptReason Reason;
    };
    unsigned FilesRemoved = 0;
    unsigned FoldersRemoved = 0;
    Kept KeptFiles[NamesShown] = {};
    unsigned KeptCount = 0;          // all of them, also those not named
    bool Undeletable = false;        // something that should go could not be removed
    bool GroupRemoved = false;       // or there was none to remove
    bool GroupLeft = false;          // recorded, and Program Manager did not take it away
    bool GroupShared = false;        // it starts another installation's programs: left to that one
    bool ChangedKept = false;        // a recorded file was kept, changed since it was installed
    bool RegistrationRemoved = false;
    bool RegistrationLeft = false;   // this program's registration could not be deleted
    bool OwnFileLater = false;       // the program's own file goes at the next start
    bool Cancelled = false;          // stopped at a file it could not remove
    bool RecordLeft = false;         // the record is still there: the next removal goes on from it

    // Notes a file (or, with `isFolder`, a folder) kept: `name` in `folder`
    // (empty for the installation's folder itself).
    void Keep(const char* folder, const char* name, KeptReason reason, bool isFolder = false);
};

// Whether everything the installations made that should go is gone but the
// record and the program's own file, which go last.
bool NothingLeftToRemove(const RemovalOutcome& outcome);
// Whether everything the removal should take away is gone, or goes at the
// next start: the program's exit code is 0 then.
bool RemovalComplete(const RemovalOutcome& outcome);

// The last box's text: what was removed, then each file kept and why (at
// most NamesShown names), and what is left to do.
constexpr std::size_t kLastBoxTextSize = 1024 + RemovalOutcome::NamesShown * kInstallRecordLineMax;
void LastBoxText(const char* folder, const RemovalOutcome& outcome, char* text, std::size_t size);
