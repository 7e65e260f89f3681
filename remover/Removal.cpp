#include "remover/Removal.h"

#include "engine/FileSteps.h"
#include "engine/plain/Crc32.h"
#include "engine/plain/RemovalRegistration.h"
#include "framework/UniqueHandle.h"
#include "remover/ProgramGroup.h"
#include "remover/Registration.h"
#include "shell/plain/FormatText.h"
#include "shell/plain/PathHelpers.h"

namespace {
const char* const MarkerName = "TSW_FILE.CHK";
// A file is read a piece at a time for its CRC-32, off the stack (whose
// pages the program's runtime touches in no order of its own).
char Chunk[2048];

enum class FileState { Gone, Installed, Changed, Unreadable };

bool Exists(const char* path)
{
    return ::GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES;
}

class Remover {
public:
    Remover(const char* folder, const InstallRecordContents& record, RemovalSurface& surface,
            RemovalOutcome& outcome)
        : Folder(folder), Record(record), Surface(surface), Outcome(outcome)
    {
    }

    // Removes one file of the installation's folder, asking again while it
    // cannot be removed; false when the person stops the removal there.
    bool RemoveFile(const char* name, bool installed = true)
    {
        Path(name);
        while (!DeleteStep(Where) && Exists(Where))
            if (!Surface.RetryRemoval(Where)) return Stop(name);
        if (installed) ++Outcome.FilesRemoved;
        return true;
    }

    bool RemoveFiles(const char* ownName)
    {
        for (std::size_t i = 0; i < Record.Files.size(); ++i) {
            const char* name = Record.Files[i].Name.c_str();
            if (!FirstLineOfFile(Record, i) || SameName(name, ownName)) continue;
            FileState state;
            while ((state = StateOf(name)) == FileState::Unreadable)
                if (!Surface.RetryRemoval(Where)) return Stop(name);
            if (state == FileState::Changed) Outcome.Keep("", name, RemovalOutcome::KeptReason::Changed);
            if (state == FileState::Installed && !RemoveFile(name)) return false;
        }
        return true;
    }

    // Each folder the installations made, deepest first, once empty; one
    // that still holds something is kept with it.
    void RemoveFolders()
    {
        for (std::size_t depth = kFolderDepthMax; depth > 0; --depth)
            for (std::size_t i = 0; i < Record.Folders.size(); ++i) {
                const char* name = Record.Folders[i].c_str();
                if (FolderDepth(name) != depth || !FirstLineOfFolder(Record, i) || !Exists(Path(name))) continue;
                if (RemoveFolderStep(Where))
                    ++Outcome.FoldersRemoved;
                else if (KeepWhatIsIn(name))
                    Outcome.Keep("", name, RemovalOutcome::KeptReason::Undeletable, true);
            }
        if (InstalledFolderItself(Record)) KeepWhatIsIn("");
    }

    // The group goes with the registration: where the Uninstall entry names
    // another installation's program, that one took the group over.
    void RemoveGroupAndRegistration(const char* ownPath)
    {
        const RegistrationState owner = RegistrationOf(ownPath);
        for (int common = 0; common < 2; ++common) {
            if (!(common ? Record.CommonGroup : Record.PersonalGroup)) continue;
            const GroupFate fate = owner == RegistrationState::Another
                                       ? GroupFate::Shared
                                       : RemoveProgramGroup(common, owner == RegistrationState::Ours, Folder);
            Outcome.GroupRemoved |= fate == GroupFate::Removed;
            Outcome.GroupShared |= fate == GroupFate::Shared;
            Outcome.GroupLeft |= fate == GroupFate::Left;
        }
        if (Record.Registered && owner == RegistrationState::Ours) {
            Outcome.RegistrationRemoved = DeleteRegistration();
            Outcome.RegistrationLeft = !Outcome.RegistrationRemoved;
        }
    }

    // The path of a name in the installation's folder, in Where.
    const char* Path(const char* name)
    {
        FormatText(Where, sizeof Where, "%s%s%s", Folder, *name ? "\\" : "", name);
        return Where;
    }

private:
    bool Stop(const char* name)
    {
        Outcome.Keep("", name, RemovalOutcome::KeptReason::Undeletable);
        Outcome.Cancelled = true;
        return false;
    }

    // A file's size and CRC-32 against the record. A file that cannot be
    // read (another program holds it open for writing) is not judged.
    FileState StateOf(const char* name)
    {
        const DWORD attributes = ::GetFileAttributesA(Path(name));
        if (attributes == INVALID_FILE_ATTRIBUTES) return FileState::Gone;
        if (attributes & FILE_ATTRIBUTE_DIRECTORY) return FileState::Changed;
        TFile file(::CreateFileA(Where, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                 FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file.IsValid()) return FileState::Unreadable;
        std::uint32_t crc = 0;
        std::uint32_t size = 0;
        DWORD read = 0;
        do {
            if (!::ReadFile(file.Get(), Chunk, sizeof Chunk, &read, nullptr)) return FileState::Unreadable;
            crc = Crc32(crc, Chunk, read);
            size += read;
        } while (read == sizeof Chunk);
        return IsInstalledVersion(Record, name, size, crc) ? FileState::Installed : FileState::Changed;
    }

    // What the removal takes away by a step of its own: the marker, the
    // record and the program itself, in the installation's folder.
    static bool OwnStep(const char* entry)
    {
        return SameName(entry, MarkerName) || SameName(entry, kInstallRecordName) || SameName(entry, kRemovalProgramName);
    }

    // Names what a folder the installations made still holds that they did
    // not install: the person's own files and folders. True when it holds
    // nothing.
    bool KeepWhatIsIn(const char* folder)
    {
        char pattern[MAX_PATH];
        char name[MAX_PATH];
        FormatText(pattern, sizeof pattern, "%s\\*.*", Path(folder));
        WIN32_FIND_DATAA found;
        HANDLE search = ::FindFirstFileA(pattern, &found);
        if (search == INVALID_HANDLE_VALUE) return true;
        bool empty = true;
        do {
            const char* entry = found.cFileName;
            if (entry[0] == '.' && (!entry[1] || (entry[1] == '.' && !entry[2]))) continue;
            empty = false;
            FormatText(name, sizeof name, "%s%s%s", folder, *folder ? "\\" : "", entry);
            const bool isFolder = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
            const bool recorded = isFolder ? RecordedFolderName(Record, name) : RecordedFileName(Record, name);
            if (recorded || (!*folder && OwnStep(entry))) continue;
            Outcome.Keep(folder, entry, RemovalOutcome::KeptReason::NotInstalled, isFolder);
        } while (::FindNextFileA(search, &found));
        ::FindClose(search);
        return empty;
    }

    const char* Folder;
    const InstallRecordContents& Record;
    RemovalSurface& Surface;
    RemovalOutcome& Outcome;
    char Where[MAX_PATH];
};
}

void RemoveInstallation(const char* folder, const InstallRecordContents& record, const char* ownPath,
                        RemovalSurface& surface, RemovalOutcome& outcome)
{
    Remover remover(folder, record, surface, outcome);
    outcome.RecordLeft = true;
    if (!remover.RemoveFiles(FileNamePart(ownPath))) return;
    remover.RemoveFolders();
    remover.RemoveGroupAndRegistration(ownPath);
    if (Exists(remover.Path(MarkerName)) && !remover.RemoveFile(MarkerName)) return;
    // The record goes only when nothing it names should still go: until
    // then, the next removal takes it up where this one ended.
    if (!NothingLeftToRemove(outcome)) return;
    outcome.OwnFileLater = surface.RemoveOwnFileLater(InstalledFolderItself(record));
    outcome.RecordLeft = !remover.RemoveFile(kInstallRecordName, false);
}
