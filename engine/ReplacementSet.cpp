#include "engine/ReplacementSet.h"

#include "engine/DestinationFile.h"
#include "engine/FileSteps.h"
#include "engine/plain/LzErrors.h"
#include "shell/plain/PathHelpers.h"

namespace {
// Makes the placeholder of the name an earlier file moves aside to.
long ReserveAside(ReplacementPaths& paths, int& next)
{
    TFile placeholder;
    return CreateScratchFile(FolderOf(paths.Installed.c_str()), next, paths.Aside, placeholder);
}
}

long TReplacementSet::Begin(const std::string& name, std::string& refused, bool vacant)
{
    Entry entry;
    entry.Paths.Installed = Folder + name;
    entry.Vacant = vacant && !AllTogether;
    if (!Files.empty() && !Files.back().Whole) {
        // Tried again after it failed: the same scratch file, written anew.
        Entry& again = Files.back();
        if (again.Paths.Installed == entry.Paths.Installed) {
            Output.Reset(::CreateFileA(again.Paths.Fresh.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                       FILE_ATTRIBUTE_NORMAL, nullptr));
            if (Output.IsValid()) return 0;
            refused = again.Paths.Installed;
            return kLzBadOutHandle;
        }
        DeleteStep(again.Paths.Fresh);
        DeleteStep(again.Paths.Aside);
        Files.pop_back();
    }
    if (AllTogether) return BeginRecorded(entry, refused);
    // A single file needs its second name only where an earlier file is
    // there when it takes its name.
    const long made = CreateScratchFile(FolderOf(entry.Paths.Installed.c_str()), NextNumber, entry.Paths.Fresh, Output);
    if (made < 0) {
        refused = entry.Paths.Installed;
        return made;
    }
    Files.push_back(entry);
    return 0;
}

// The file's line is on the disk before its scratch files are made, so that
// the next run after a cut knows every file the update made.
long TReplacementSet::BeginRecorded(Entry& entry, std::string& refused)
{
    const long opened = OpenRecord(refused);
    if (opened < 0) return opened;
    ReplacementPaths& paths = entry.Paths;
    const std::string folder = FolderOf(paths.Installed.c_str());
    for (;;) {
        if (!FreeScratchPath(folder, NextNumber, paths.Fresh) || !FreeScratchPath(folder, NextNumber, paths.Aside)) {
            refused = paths.Installed;
            return kNoScratchName;
        }
        const DWORD before = RecordSize;
        if (!Append(RecordLine({Relative(paths.Fresh), Relative(paths.Aside), Relative(paths.Installed)})))
            return kLzWrite;
        Output.Reset(CreateNewFile(paths.Fresh));
        TFile placeholder(Output.IsValid() ? CreateNewFile(paths.Aside) : INVALID_HANDLE_VALUE);
        if (placeholder.IsValid()) {
            Files.push_back(entry);
            return 0;
        }
        // A name taken meanwhile lets the next numbers do better; anything
        // else fails them all alike. The line goes with its files.
        const bool taken = PathExists((Output.IsValid() ? paths.Aside : paths.Fresh).c_str());
        if (Output.IsValid()) {
            Output.Reset();
            DeleteStep(paths.Fresh);
        }
        if (!CutRecordTo(before)) return kLzWrite;
        if (!taken) {
            refused = paths.Installed;
            return kLzBadOutHandle;
        }
    }
}

long TReplacementSet::Finish(const FILETIME& released, const ExpandedContents& written)
{
    Files.back().Written = written;
    if (released.dwLowDateTime || released.dwHighDateTime) ::SetFileTime(Output.Get(), nullptr, nullptr, &released);
    // Both systems cache writes: the data is on the disk before the file can
    // take its name, or before the record's mark says it is whole.
    const bool flushed = FlushStep(Output.Get(), Files.back().Paths.Fresh);
    Output.Reset();
    if (!flushed) return kLzWrite;
    Files.back().Whole = true;
    return 0;
}

void TReplacementSet::Abandon()
{
    Output.Reset();
    if (AllTogether || Files.empty()) return;
    DeleteStep(Files.back().Paths.Fresh);
    if (!Files.back().Paths.Aside.empty()) DeleteStep(Files.back().Paths.Aside);
    Files.pop_back();
}

long TReplacementSet::Commit(std::string& refused)
{
    // A set with no file has no record, and nothing to mark.
    if (AllTogether && !MarkWritten && !Files.empty()) {
        // Only a file takes a name: a scratch path turned into a folder
        // meanwhile stops the renames before they begin.
        for (const Entry& file : Files) {
            if (IsFileOrNothing(file.Paths.Fresh) && IsFileOrNothing(file.Paths.Aside)) continue;
            refused = file.Paths.Installed;
            return kLzBadOutHandle;
        }
        // Every file is whole and on the disk: from here on the next run
        // finishes the renames.
        SizeBeforeMark = RecordSize;
        if (!Append(RecordRenameMark())) return kLzWrite;
        MarkWritten = true;
    }
    for (std::size_t i = 0; i < Files.size(); ++i) {
        Entry& file = Files[i];
        // Looked up once at most (a name looked up in vain costs a search of
        // the whole folder): without an earlier file the new one takes the
        // name at once.
        const bool earlier = !file.Vacant && PathExists(file.Paths.Installed.c_str());
        if (earlier && file.Paths.Aside.empty() && ReserveAside(file.Paths, NextNumber) < 0) {
            refused = file.Paths.Installed;
            Discard();
            return kLzBadOutHandle;
        }
        file.HadFile = false;
        const PlaceResult result = earlier ? PutInPlace(file.Paths, file.HadFile)
                                   : MoveStep(file.Paths.Fresh, file.Paths.Installed) ? PlaceResult::Placed
                                                                                      : PlaceResult::Refused;
        if (result == PlaceResult::Placed) continue;
        if (result == PlaceResult::Stranded) {
            // Both files are kept where they are; the record, if any, lets
            // the next run finish.
            refused = FolderOf(file.Paths.Installed.c_str()) + StrandedDetail(file.Paths);
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
        if (!AllTogether) {
            Discard();
            return kLzBadOutHandle;
        }
        // Every installed file is as it was: the record stops saying that
        // the renames began before any new file can go (Cancel). Where it
        // cannot, the files stay for the next run, which finishes the update.
        if (!CutRecordTo(SizeBeforeMark)) {
            Forget();
            return kLzBadOutHandle;
        }
        MarkWritten = false;
        return kLzBadOutHandle;
    }
    // Every file has its name: once every name is on the disk, the earlier
    // files go, then the record. Where one is not, the earlier files and the
    // record stay for the next run to finish.
    // An installation's file that replaced none has nothing to order against:
    // a cut leaves it under its scratch name, and the next run installs it again.
    bool durable = true;
    for (const Entry& file : Files)
        if (AllTogether || file.HadFile) durable = FlushName(file.Paths.Installed) && durable;
    for (const Entry& file : Files) {
        if (durable && !file.Paths.Aside.empty() && PathExists(file.Paths.Installed.c_str()))
            DeleteStep(file.Paths.Aside);
    }
    if (!durable) {
        Forget();
        return 0;
    }
    Files.clear();
    Discard();
    return 0;
}

void TReplacementSet::Discard()
{
    Output.Reset();
    for (const Entry& file : Files) {
        DeleteStep(file.Paths.Fresh);
        if (!file.Paths.Aside.empty()) DeleteStep(file.Paths.Aside);
    }
    Files.clear();
    if (Record.IsValid()) {
        Record.Reset();
        DeleteStep(RecordPath);
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

// The record exists only with its header whole on the disk.
long TReplacementSet::OpenRecord(std::string& refused)
{
    if (Record.IsValid()) return 0;
    TFolderClaim own;
    TFolderClaim& claim = Claim && Claim->Holds() ? *Claim : own;
    const long made = claim.Holds() ? 0 : claim.Make(RecordPath);
    if (made == kLzBadOutHandle) refused = RecordPath;
    if (made < 0) return made;
    Record = claim.HandOver();
    RecordSize = static_cast<DWORD>(RecordHeader().size());
    return 0;
}

bool TReplacementSet::Append(const std::string& text)
{
    // On the disk before anything that depends on it happens; a line that
    // cannot be written whole (a full disk) is taken back, so that the
    // record stays one that reads right.
    if (WriteStep(Record.Get(), RecordPath, text) && FlushStep(Record.Get(), RecordPath)) {
        RecordSize += static_cast<DWORD>(text.size());
        return true;
    }
    CutRecordTo(RecordSize);
    return false;
}

bool TReplacementSet::CutRecordTo(DWORD size)
{
    RecordSize = size;
    return ::SetFilePointer(Record.Get(), static_cast<LONG>(size), nullptr, FILE_BEGIN) == size &&
           ::SetEndOfFile(Record.Get()) && FlushStep(Record.Get(), RecordPath);
}
