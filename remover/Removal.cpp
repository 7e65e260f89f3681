#include "remover/Removal.h"

#include "engine/FileSteps.h"
#include "engine/plain/Crc32.h"
#include "framework/UniqueHandle.h"
#include "remover/ProgramGroup.h"
#include "remover/Registration.h"
#include "shell/plain/PathHelpers.h"

#include <memory>

namespace {
const char* const MarkerName = "TSW_FILE.CHK";

enum class FileState { Gone, Installed, Changed, Unreadable };

// A file's size and CRC-32 against the record. A file that cannot be read
// (another program holds it open for writing) is neither removed nor judged.
FileState StateOf(const std::string& path, const std::string& name, const InstallRecordContents& record)
{
    const DWORD attributes = ::GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return FileState::Gone;
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) return FileState::Changed;
    TFile file(::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                             FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.IsValid()) return FileState::Unreadable;
    // Off the stack: the runtime commits one page of it without probing.
    constexpr DWORD ChunkSize = 8192;
    std::unique_ptr<char[]> chunk(new char[ChunkSize]);
    std::uint32_t crc = 0;
    std::uint32_t size = 0;
    DWORD read = 0;
    do {
        if (!::ReadFile(file.Get(), chunk.get(), ChunkSize, &read, nullptr)) return FileState::Unreadable;
        crc = Crc32(crc, chunk.get(), read);
        size += read;
    } while (read == ChunkSize);
    return IsInstalledVersion(record, name, size, crc) ? FileState::Installed : FileState::Changed;
}

class Remover {
public:
    Remover(const std::string& folder, const InstallRecordContents& record, RemovalSurface& surface)
        : Folder(folder), Record(record), Surface(surface)
    {
    }

    // Removes one file, asking again while it cannot be removed; false when
    // the person stops the removal there.
    bool RemoveFile(const std::string& name, bool installed = true)
    {
        const std::string path = JoinedPath(Folder, name);
        Surface.Removing(name);
        while (!DeleteStep(path) && ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES)
            if (!Surface.RetryRemoval(path)) return Stop(name);
        if (installed) ++Outcome.FilesRemoved;
        return true;
    }

    bool RemoveFiles(const char* ownName)
    {
        for (const std::string& name : RecordedFileNames(Record, ownName)) {
            const std::string path = JoinedPath(Folder, name);
            FileState state = StateOf(path, name, Record);
            while (state == FileState::Unreadable) {
                if (!Surface.RetryRemoval(path)) return Stop(name);
                state = StateOf(path, name, Record);
            }
            if (state == FileState::Changed) Keep(name, RemovalOutcome::KeptReason::Changed);
            if (state == FileState::Installed && !RemoveFile(name)) return false;
        }
        return true;
    }

    // Each folder the installations made, once empty; one that still holds
    // something is kept with it.
    void RemoveFolders()
    {
        for (const std::string& name : FoldersDeepestFirst(Record)) {
            const std::string path = JoinedPath(Folder, name);
            if (::GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES) continue;
            if (RemoveFolderStep(path)) {
                ++Outcome.FoldersRemoved;
                continue;
            }
            const bool empty = KeepWhatIsIn(name);
            if (empty) Keep(name + "\\", RemovalOutcome::KeptReason::Undeletable);
        }
        if (InstalledFolderItself(Record)) KeepWhatIsIn(std::string());
    }

    void RemoveGroupAndRegistration(const std::string& ownPath)
    {
        if (Record.PersonalGroup || Record.CommonGroup) {
            const bool gone = (!Record.PersonalGroup || DeleteProgramGroup(false)) &&
                              (!Record.CommonGroup || DeleteProgramGroup(true));
            Outcome.GroupRemoved = gone;
            Outcome.GroupLeft = !gone;
        }
        if (Record.Registered) {
            const RegistrationState state = RemoveRegistration(ownPath.c_str());
            Outcome.RegistrationRemoved = state == RegistrationState::Removed;
            Outcome.RegistrationLeft = state == RegistrationState::Left;
        }
    }

    RemovalOutcome& Result() { return Outcome; }

private:
    bool Stop(const std::string& name)
    {
        Keep(name, RemovalOutcome::KeptReason::Undeletable);
        Outcome.Cancelled = true;
        return false;
    }

    void Keep(const std::string& name, RemovalOutcome::KeptReason reason)
    {
        Outcome.KeptFiles.push_back({name, reason});
    }

    bool Recorded(const std::string& name, bool folder) const
    {
        if (folder) {
            for (const std::string& one : Record.Folders)
                if (::lstrcmpiA(one.c_str(), name.c_str()) == 0) return true;
            return false;
        }
        for (const RecordedFile& file : Record.Files)
            if (::lstrcmpiA(file.Name.c_str(), name.c_str()) == 0) return true;
        return false;
    }

    static bool OwnStep(const std::string& entry)
    {
        for (const char* name : {MarkerName, kInstallRecordName, kRemoverName})
            if (::lstrcmpiA(entry.c_str(), name) == 0) return true;
        return false;
    }

    // Names what a folder the installation made still holds that it did not
    // install: the person's own files and folders. True when it holds nothing.
    bool KeepWhatIsIn(const std::string& folderName)
    {
        bool empty = true;
        WIN32_FIND_DATAA found;
        HANDLE search = ::FindFirstFileA(JoinedPath(JoinedPath(Folder, folderName), "*.*").c_str(), &found);
        if (search == INVALID_HANDLE_VALUE) return true;
        do {
            const std::string entry = found.cFileName;
            if (entry == "." || entry == "..") continue;
            empty = false;
            const std::string name = folderName.empty() ? entry : folderName + "\\" + entry;
            const bool folder = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
            // What the installations made is named by its own step, as are the
            // marker, the record and the program's own file.
            if (Recorded(name, folder) || (folderName.empty() && OwnStep(entry))) continue;
            Keep(folder ? name + "\\" : name, RemovalOutcome::KeptReason::NotInstalled);
        } while (::FindNextFileA(search, &found));
        ::FindClose(search);
        return empty;
    }

    const std::string& Folder;
    const InstallRecordContents& Record;
    RemovalSurface& Surface;
    RemovalOutcome Outcome;
};
}

RemovalOutcome RemoveInstallation(const std::string& folder, const InstallRecordContents& record,
                                  const std::string& ownPath, RemovalSurface& surface)
{
    Remover remover(folder, record, surface);
    RemovalOutcome& outcome = remover.Result();
    outcome.RecordLeft = true;
    if (!remover.RemoveFiles(FileNamePart(ownPath.c_str()))) return outcome;
    remover.RemoveFolders();
    remover.RemoveGroupAndRegistration(ownPath);
    const std::string marker = JoinedPath(folder, MarkerName);
    if (::GetFileAttributesA(marker.c_str()) != INVALID_FILE_ATTRIBUTES && !remover.RemoveFile(MarkerName))
        return outcome;
    // The record goes only when nothing it names should still go: until
    // then, the next removal takes it up where this one ended.
    if (!NothingLeftToRemove(outcome)) return outcome;
    outcome.OwnFileLater = surface.RemoveOwnFileLater(InstalledFolderItself(record));
    outcome.RecordLeft = !remover.RemoveFile(kInstallRecordName, false);
    return outcome;
}
