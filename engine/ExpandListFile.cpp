#include "shell/InstallWindow.h"

#include "engine/CompressedSource.h"
#include "engine/DestinationFile.h"
#include "engine/ExpansionLoop.h"
#include "engine/ReplacementSet.h"
#include "engine/RunSizes.h"
#include "engine/ShowProg.h"
#include "engine/SourceReads.h"
#include "engine/WholeFile.h"
#include "engine/plain/ChecksumList.h"
#include "engine/plain/InstallPlan.h"
#include "engine/plain/InstallRecord.h"
#include "engine/plain/ListFile.h"
#include "engine/plain/LzErrors.h"
#include "engine/plain/RemovalRegistration.h"
#include "framework/UniqueHandle.h"
#include "shell/InstallRecordFile.h"
#include "shell/ReportMessage.h"
#include "shell/plain/FormatText.h"
#include "shell/plain/MessageTable.h"
#include "shell/plain/PathHelpers.h"
#include "shell/plain/Settings.h"

#include <lzexpand.h>

#include <memory>
#include <string>
#include <vector>

namespace {
// The progress window of one list; destroyed explicitly where the order of
// window and message matters, or at the latest when this goes out of scope.
class ProgressWindow {
public:
    // `run`: how far the whole run has come, shown as a bar where known.
    ProgressWindow(TWindow* owner, const char* caption, RunProgress& run) : Run(run)
    {
        RECT client = {};
        if (!::GetClientRect(owner->GetHandle(), &client)) client = RECT{};
        POINT anchor = {client.right, client.top};
        ::ClientToScreen(owner->GetHandle(), &anchor);
        Window = std::make_unique<TShowProg>(owner, anchor.x, anchor.y, caption);
        // Without its window the list is still handled, just not shown.
        if (!Window->Create()) Window.reset();
    }
    ~ProgressWindow() { Close(); }

    void Show(const char* format, const char* name)
    {
        char text[80];
        FormatText(text, sizeof text, format, name);
        if (!Window) return;
        // One repaint for both.
        Window->SetShare(Run.Written(), Run.TotalBytes(), TShowProg::Repaint::Later);
        Window->SetText(text);
    }

    // The file being expanded has `written` bytes on the disk.
    static void FileWritten(std::uint32_t written, void* context)
    {
        auto* progress = static_cast<ProgressWindow*>(context);
        progress->Run.FileWritten(written);
        if (progress->Window)
            progress->Window->SetShare(progress->Run.Written(), progress->Run.TotalBytes(), TShowProg::Repaint::ByStep);
    }
    void FileDone() { Run.FileDone(); }
    // The list's files are written: the bar shows all of them.
    void ShowWritten()
    {
        if (Window) Window->SetShare(Run.Written(), Run.TotalBytes(), TShowProg::Repaint::Now);
    }

    void Close()
    {
        if (!Window) return;
        Window->Destroy();
        Window.reset();
    }

private:
    std::unique_ptr<TShowProg> Window;
    RunProgress& Run;
};

// The line of the file installed at `installed` with these figures; empty
// for a file outside the record's folder, or without a record.
std::string InstalledFileLine(const TInstallRecordFile& record, const std::string& installed, std::uint32_t crc,
                              std::uint32_t size)
{
    const std::string name = record.NameInFolder(installed);
    return name.empty() ? name : RecordedFileLine({name, crc, size});
}

// The installed file's line, on the disk before the file can take its name:
// the figures of the scratch file as written. False when the record cannot
// take it (a full disk).
bool RecordInstalledFile(TInstallRecordFile& record, const ExpandedContents& written, const std::string& installed)
{
    return record.Append(InstalledFileLine(record, installed, written.Crc, written.Size));
}

// The lines of the list's files whose contents the disk declares, on the
// disk with one flush before the first of them is expanded: a file that
// expands to anything else is refused, so each line is already the one its
// file would add, and the files need no flush of the record each. Where the
// record cannot take them, each file adds its own.
void RecordDeclaredFiles(TInstallRecordFile& record, const ListPlan& plan)
{
    std::string lines;
    for (const PlannedFile& file : plan.Files)
        if (file.Expected.Known)
            lines += InstalledFileLine(record, plan.DestinationOf(file), file.Expected.Crc, file.Expected.Size);
    record.Append(lines);
}

// Expands one file of a list into a scratch file beside the installed one,
// which the set gives the installed name once it is whole (at once, or with
// the rest of the list): on any failure the installed file stays as it was
// (or absent). A file that already holds what the disk says it expands to
// stays as it is instead, its compressed file unread (`leftWhole`). Returns
// the expansion's result (the length written, or a negative error code);
// `destination` is then the path at fault, where the set could not make
// another. What it reads of the source is counted in `reads`, where given.
// `noted`: a Retry, the log says already what becomes of the file, which is
// expanded as before (an update's set holds its scratch files).
LONG ExpandFile(ProgressWindow& progress, TReplacementSet& set, TInstallRecordFile& record, const std::string& source,
                const PlannedFile& file, std::string& destination, bool noted, bool& leftWhole, SourceReads* reads)
{
    const std::string installed = destination;
    leftWhole = false;
    char note[2 * kPathSize + 32];
    // Looked up once: a name where nothing is is not looked up again (a
    // lookup in vain costs a search of the whole folder).
    bool vacant = false;
    const LONG replaceable = CheckDestination(destination.c_str(), &vacant);
    FILETIME written;
    if (!noted && !vacant && IsAlreadyWhole(installed, file.Expected, written)) {
        FormatText(note, sizeof note, "file %s already whole, left as it was", installed.c_str());
        LogNote(note);
        if (!RecordInstalledFile(record, {file.Expected.Crc, file.Expected.Size}, installed)) return kLzWrite;
        DateAsReleased(installed, written, source);
        leftWhole = true;
        ProgressWindow::FileWritten(file.Expected.Size, &progress);
        return static_cast<LONG>(file.Expected.Size);
    }
    FormatText(note, sizeof note, "file %s to %s", source.c_str(), installed.c_str());
    if (!noted) LogNote(note);
    // The destination's fault is reported, and its scratch file made, only
    // once the source is known to open and to be expandable.
    TLzFile sourceFile;
    FILETIME released;
    CompressedReads sourceReads;
    LONG result = OpenCompressedSource(source.c_str(), sourceFile, &released, &sourceReads);
    if (result == 0) result = replaceable;
    if (result == 0) result = set.Begin(file.Name, destination, vacant);
    progress.Show("Expanding %s . . .", FileNamePart(source.c_str()));
    if (result < 0) {
        if (reads) reads->Bytes += sourceReads.SoFar();
        return result;
    }

    // The header declares the expanded length. A compressed file cut short
    // expands "successfully" to fewer bytes: a read error. What was written
    // must be what its disk says it expands to, its length too.
    const LONG declared = ::LZSeek(sourceFile.Get(), 0, 2);
    ::LZSeek(sourceFile.Get(), 0, 0);
    ExpandedContents expanded;
    result = ExpandInto(sourceFile.Get(), set.Writing().Get(), expanded, &ProgressWindow::FileWritten, &progress);
    if (reads) reads->Bytes += sourceReads.SoFar();
    if (result >= 0 && declared >= 0 && result != declared) result = kLzRead;
    if (result >= 0 && !IsExpected(file.Expected, expanded)) result = kLzRead;
    if (result >= 0 && !RecordInstalledFile(record, expanded, installed)) result = kLzWrite;
    if (result >= 0) {
        const long finished = set.Finish(released, expanded);
        if (finished < 0) result = finished;
    }
    if (result < 0) set.Abandon();
    return result;
}

// Expands one file of a list (in an installation it takes its name at once)
// and reports its fault with Retry and Cancel. Retry expands it again from
// its first byte into a fresh scratch file, the source opened anew: the
// person may have changed the disk, freed space or closed the program that
// held the file. False once the person cancels.
bool ExpandFileUntilCancelled(HWND owner, ProgressWindow& progress, TReplacementSet& set, TInstallRecordFile& record,
                              const std::string& source, const std::string& installed, const PlannedFile& file,
                              LONG& lastResult, SourceReads* reads = nullptr)
{
    for (bool noted = false;; noted = true) {
        std::string destination = installed;
        bool leftWhole = false;
        lastResult = ExpandFile(progress, set, record, source, file, destination, noted, leftWhole, reads);
        if (leftWhole && reads) ++reads->FilesLeft;
        if (lastResult >= 0 && !leftWhole && !set.TakesNamesTogether()) {
            const LONG committed = set.Commit(destination);
            if (committed < 0) lastResult = committed;
        }
        if (lastResult >= 0) {
            progress.FileDone();
            return true;
        }
        if (!ReportExpansionFault(owner, MsgInstallationError, lastResult, source.c_str(), destination.c_str(),
                                  FaultButtons::RetryOrCancel))
            return false;
    }
}

// Expands the files of a list that was read and checked whole, in list
// order, with the library prepared once; each takes its name as the set
// says. Stops at the first failure the person does not retry.
bool ExpandFiles(HWND owner, ProgressWindow& progress, const ListPlan& plan, TReplacementSet& set,
                 TInstallRecordFile& record, LONG& lastResult)
{
    RecordDeclaredFiles(record, plan);
    ::LZStart();
    for (const PlannedFile& file : plan.Files) {
        if (!ExpandFileUntilCancelled(owner, progress, set, record, plan.SourceOf(file), plan.DestinationOf(file), file,
                                      lastResult, &RunSourceReads())) {
            ::LZDone();
            progress.Close();
            return false;
        }
    }
    ::LZDone();
    progress.ShowWritten();
    progress.Close();
    return true;
}
}

bool TInstallWindow::ExpandListFile(const char* listName, const char* destDir, const char* sourceDir,
                                    const char* caption, LONG& lastResult, const char* diskRoot)
{
    lastResult = 0;
    ProgressWindow progress(this, caption, RunBar);
    progress.Show("Reading %s . . .", listName);

    // The whole list is read and checked before anything is written.
    ListPlan plan;
    char note[kPathSize + 8];
    FormatText(note, sizeof note, "list %s\\%s", sourceDir, listName);
    LogNote(note);
    ListFault fault = ReadListPlan(sourceDir, listName, destDir, kListLineMaxLength, plan, &IsSameFolder);
    if (fault == ListFault::None) fault = ReadDiskChecksums(diskRoot ? diskRoot : sourceDir, plan);
    if (fault == ListFault::None) fault = CheckSetSizes(SizesOfSet(), listName, plan);
    if (fault != ListFault::None) {
        progress.Close();
        ListFaultReport report = ListFaultReportFor(fault);
        ReportMessage(GetHandle(), MsgInstallationError, report.Message,
                      report.NamesList ? listName : plan.Refused.c_str());
        return false;
    }
    CaptureProgramItems(plan);
    TReplacementSet set(plan.DestinationFolder, false);
    return ExpandFiles(GetHandle(), progress, plan, set, Record, lastResult);
}

bool TInstallWindow::ExpandListPlan(const ListPlan& plan, const char* caption, LONG& lastResult, TFolderClaim* claim)
{
    lastResult = 0;
    ProgressWindow progress(this, caption, RunBar);
    CaptureProgramItems(plan);
    // All or nothing: no file takes its name before every one is whole.
    TReplacementSet set(plan.DestinationFolder, true, claim);
    if (!ExpandFiles(GetHandle(), progress, plan, set, Record, lastResult)) return false;
    // A file taken into use meanwhile keeps its name: once the person has
    // closed the program that holds it, Retry tries the names again.
    for (;;) {
        std::string refused;
        const LONG committed = set.Commit(refused);
        if (committed == 0) return true;
        lastResult = committed;
        if (!ReportExpansionFault(GetHandle(), MsgInstallationError, committed, "", refused.c_str(),
                                  set.CanCommitAgain() ? FaultButtons::RetryOrCancel : FaultButtons::Ok))
            return false;
    }
}

bool TInstallWindow::InstallRemovalProgram(LONG& lastResult)
{
    lastResult = 0;
    RemovalInstalled = false;
    const std::string source = JoinedPath(ProgramDirectory, kRemovalProgramName);
    if (!PathExists(source.c_str())) return true;
    ProgressWindow progress(this, InstallSteps().begin()->Caption, RunBar);
    TReplacementSet set(JoinedPath(Settings.TargetDirectory, ""), false);
    PlannedFile file;
    file.Name = kRemovalProgramName;
    ::LZStart();
    const bool installed = ExpandFileUntilCancelled(GetHandle(), progress, set, Record, source,
                                                    JoinedPath(Settings.TargetDirectory, file.Name), file, lastResult);
    ::LZDone();
    RemovalInstalled = installed;
    return installed;
}

void TInstallWindow::CaptureProgramItems(const ListPlan& plan)
{
    // Six slots; later titled entries are still expanded but get no item.
    int slot = 0;
    for (const ListEntry& item : plan.Items) {
        while (slot < kProgramSlots && !ProgramFile[slot].empty()) ++slot;
        if (slot == kProgramSlots) return;
        ProgramFile[slot] = item.Name;
        ItemTitle[slot] = item.Title;
    }
}
