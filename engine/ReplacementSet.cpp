#include "engine/ReplacementSet.h"

#include "engine/DestinationFile.h"
#include "engine/plain/LzErrors.h"
#include "shell/plain/PathHelpers.h"

namespace {
// Makes the placeholder of the name an earlier file moves aside to.
bool ReserveAside(ReplacementPaths& paths, int& next)
{
    TFile placeholder;
    return CreateScratchFile(FolderOf(paths.Installed.c_str()), next, paths.Aside, placeholder) == 0;
}
}

long TReplacementSet::Begin(const std::string& name)
{
    Entry entry;
    entry.Paths.Installed = Folder + name;
    if (CreateScratchFile(FolderOf(entry.Paths.Installed.c_str()), NextNumber, entry.Paths.Fresh, Output) < 0)
        return kLzBadOutHandle;
    Files.push_back(entry);
    // A single file needs its second name only where an earlier file is
    // there when it takes its name; the record names both at once.
    if (!AllTogether) return 0;
    ReplacementPaths& paths = Files.back().Paths;
    if (!ReserveAside(paths, NextNumber)) {
        Abandon();
        return kLzBadOutHandle;
    }
    if (Append(RecordLine({Relative(paths.Fresh), Relative(paths.Aside), name}))) return 0;
    Abandon();
    return kLzWrite;
}

void TReplacementSet::Finish(const FILETIME& released)
{
    if (released.dwLowDateTime || released.dwHighDateTime) ::SetFileTime(Output.Get(), nullptr, nullptr, &released);
    Output.Reset();
}

void TReplacementSet::Abandon()
{
    Output.Reset();
    if (Files.empty()) return;
    ::DeleteFileA(Files.back().Paths.Fresh.c_str());
    if (!Files.back().Paths.Aside.empty()) ::DeleteFileA(Files.back().Paths.Aside.c_str());
    Files.pop_back();
}

long TReplacementSet::Commit(std::string& refused)
{
    // Every file is whole: from here on the next run finishes the renames.
    if (AllTogether && !MarkWritten) {
        if (!Append(RecordRenameMark())) return kLzWrite;
        MarkWritten = true;
    }
    for (std::size_t i = 0; i < Files.size(); ++i) {
        Entry& file = Files[i];
        const bool needsAside = file.Paths.Aside.empty() && PathExists(file.Paths.Installed.c_str());
        if (needsAside && !ReserveAside(file.Paths, NextNumber)) {
            refused = file.Paths.Installed;
            Discard();
            return kLzBadOutHandle;
        }
        const PlaceResult result = PutInPlace(file.Paths, file.HadFile);
        if (result == PlaceResult::Placed) continue;
        if (result == PlaceResult::Stranded) {
            // Both files are kept where they are; the record, if any, lets
            // the next run finish.
            refused = StrandedDetail(file.Paths);
            Forget();
            return kLzBadOutHandle;
        }
        refused = file.Paths.Installed;
        // The files placed before it go back. Files that take their names
        // together stay whole for another try; a single file is made again.
        while (i-- > 0) {
            if (!TakeBack(Files[i].Paths, Files[i].HadFile)) {
                Forget();
                return kLzBadOutHandle;
            }
        }
        if (!AllTogether) Discard();
        return kLzBadOutHandle;
    }
    // Every file has its name: the earlier ones go, then the record. An
    // earlier file is only removed once its name is taken.
    for (const Entry& file : Files) {
        if (!file.Paths.Aside.empty() && PathExists(file.Paths.Installed.c_str())) ::DeleteFileA(file.Paths.Aside.c_str());
    }
    Files.clear();
    Discard();
    return 0;
}

void TReplacementSet::Discard()
{
    while (!Files.empty()) Abandon();
    Output.Reset();
    if (Record.IsValid()) {
        Record.Reset();
        ::DeleteFileA((Folder + kReplacementRecordName).c_str());
    }
    NextNumber = 0;
    RecordSize = 0;
    MarkWritten = false;
}

// Leaves every file and the record as they are, for the next run.
void TReplacementSet::Forget()
{
    Files.clear();
    Record.Reset();
    NextNumber = 0;
    RecordSize = 0;
    MarkWritten = false;
}

bool TReplacementSet::Append(const std::string& text)
{
    if (!Record.IsValid()) {
        // Never a file of that name left by anybody: the run before this one
        // finished or removed its record.
        Record.Reset(::CreateFileA((Folder + kReplacementRecordName).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                   FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!Record.IsValid()) return false;
        if (!Append(RecordHeader())) return false;
    }
    DWORD written = 0;
    // On the disk before anything that depends on it happens; a line that
    // cannot be written whole (a full disk) is taken back, so that the
    // record stays one that reads right.
    if (::WriteFile(Record.Get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
        written == text.size() && ::FlushFileBuffers(Record.Get())) {
        RecordSize += written;
        return true;
    }
    ::SetFilePointer(Record.Get(), static_cast<LONG>(RecordSize), nullptr, FILE_BEGIN);
    ::SetEndOfFile(Record.Get());
    return false;
}
