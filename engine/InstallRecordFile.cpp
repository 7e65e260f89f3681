#include "shell/InstallRecordFile.h"
#include "shell/UnattendedRun.h"

#include "engine/FileReplacement.h"
#include "engine/FileSteps.h"
#include "engine/SourceReads.h"
#include "engine/plain/InstallRecord.h"
#include "engine/plain/ListFile.h"
#include "shell/plain/FormatText.h"
#include "shell/plain/PathHelpers.h"
#include "shell/plain/Settings.h"

#include <cstring>

namespace {
TInstallRecordFile* ActiveRecord = nullptr;
// How the run in progress stands: the report shown last that nothing since
// passed over (0: none), and whether it is complete.
int LastReport = 0;
bool RunComplete = false;

// The record's lines that read right, as the record writes them, in order.
std::string LinesOf(const InstallRecordContents& contents)
{
    std::string text;
    for (const std::string& folder : contents.Folders) text += RecordedFolderLine(folder);
    for (const RecordedFile& file : contents.Files) text += RecordedFileLine(file);
    if (contents.PersonalGroup) text += RecordedGroupLine(false);
    if (contents.CommonGroup) text += RecordedGroupLine(true);
    if (contents.Registered) text += RecordedRegistrationLine();
    return text;
}

// Where the log goes when the target cannot take it. Without TMP and TEMP
// Windows 95 gives the current directory as the temporary folder, which may
// be the source disk: the Windows folder takes the log then.
std::string TemporaryFolder()
{
    char folder[MAX_PATH + 1] = {};
    char current[MAX_PATH + 1] = {};
    const DWORD length = ::GetTempPathA(sizeof folder, folder);
    const DWORD currentLength = ::GetCurrentDirectoryA(sizeof current, current);
    // The temporary folder ends in a separator, the current directory only at a root.
    const bool isCurrent = currentLength > 0 && (length == currentLength || length == currentLength + 1) &&
                           std::memcmp(folder, current, currentLength) == 0;
    if (length == 0 || length >= sizeof folder || isCurrent) {
        const UINT windowsLength = ::GetWindowsDirectoryA(folder, sizeof folder);
        if (windowsLength == 0 || windowsLength >= sizeof folder) folder[0] = '\0';
    }
    return folder;
}
}

bool TInstallRecordFile::Open(const std::string& folder, bool madeFolder)
{
    File.Reset();
    Folder = JoinedPath(folder, "");
    Path = Folder + kInstallRecordName;
    std::string keep;
    std::string afresh;
    if (!PathExists(Path.c_str())) {
        // A new record: its title is on the disk before any line.
        File.Reset(::CreateFileA(Path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW,
                                 FILE_ATTRIBUTE_NORMAL, nullptr));
        Size = 0;
        if (IsOpen() && !Write(InstallRecordTitle())) File.Reset();
    } else {
        // One that cannot be read at all (too long, held by another program)
        // is left as it is; one that does not read right, or has grown
        // long, is written afresh.
        bool whole = false;
        if (!Load(Path, keep, afresh, whole) || !(whole ? OpenToAppend() : StartAfresh(Folder, afresh)))
            File.Reset();
    }
    if (!IsOpen()) return false;
    Known = "\n" + keep;
    if (madeFolder && !Append(RecordedFolderLine(""))) return false;
    const std::string notes = Pending;
    Pending.clear();
    Write(notes);
    return true;
}

// Reads the record: `keep` its lines that name something, as the record
// writes them, `afresh` what it is written afresh as, `whole` whether all of
// it read right and it is short enough to go on as it is. False when it
// cannot be read.
bool TInstallRecordFile::Load(const std::string& path, std::string& keep, std::string& afresh, bool& whole)
{
    // Opened as a list file is, so that what that refuses is refused here too.
    TFile file(::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                             FILE_ATTRIBUTE_NORMAL, nullptr));
    std::vector<char> contents;
    if (!file.IsValid() || ReadListFile(file.Get(), contents, kInstallRecordReadMax) != ListLoadResult::Loaded)
        return false;
    InstallRecordContents read;
    whole = ReadInstallRecord(contents.data(), contents.size(), read) && contents.size() <= kInstallRecordTrimAt;
    keep = LinesOf(read);
    if (!whole) afresh = KeptRecordText(contents.data(), contents.size(), kInstallRecordNotesKept);
    return true;
}

// The record written whole under a scratch name and flushed, then under its
// own name: a cut leaves the earlier record or the new one, never a part.
bool TInstallRecordFile::StartAfresh(const std::string& folder, const std::string& text)
{
    int next = 0;
    ReplacementPaths paths;
    paths.Installed = Path;
    TFile placeholder;
    if (CreateScratchFile(folder, next, paths.Fresh, File) != 0) return false;
    const bool written = WriteStep(File.Get(), paths.Fresh, text) && FlushStep(File.Get(), paths.Fresh) &&
                         CreateScratchFile(folder, next, paths.Aside, placeholder) == 0;
    File.Reset();
    placeholder.Reset();
    bool hadFile = false;
    if (!written || PutInPlace(paths, hadFile) != PlaceResult::Placed) {
        DeleteStep(paths.Fresh);
        if (!paths.Aside.empty()) DeleteStep(paths.Aside);
        return false;
    }
    DeleteStep(paths.Aside);
    return OpenToAppend();
}

bool TInstallRecordFile::OpenToAppend()
{
    File.Reset(::CreateFileA(Path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                             FILE_ATTRIBUTE_NORMAL, nullptr));
    Size = IsOpen() ? ::SetFilePointer(File.Get(), 0, nullptr, FILE_END) : 0;
    return IsOpen() && Size != INVALID_SET_FILE_POINTER;
}

bool TInstallRecordFile::Append(const std::string& lines)
{
    if (!IsOpen()) return true;
    // Each line ends in its line break, so a whole line is found after one.
    const std::size_t knownBefore = Known.size();
    for (std::size_t at = 0, end; at < lines.size(); at = end) {
        end = lines.find('\n', at);
        end = end == std::string::npos ? lines.size() : end + 1;
        const std::string line = lines.substr(at, end - at);
        if (Known.find("\n" + line) == std::string::npos) Known += line;
    }
    if (Write(Known.substr(knownBefore))) return true;
    Known.resize(knownBefore);
    return false;
}

// On the disk before anything that depends on it happens; a line that
// cannot be written whole (a full disk) is taken back, so that the record
// stays one that reads right.
bool TInstallRecordFile::Write(const std::string& text, bool flush)
{
    if (text.empty()) return true;
    if (WriteStep(File.Get(), Path, text) && (!flush || FlushStep(File.Get(), Path))) {
        Size += static_cast<DWORD>(text.size());
        return true;
    }
    if (::SetFilePointer(File.Get(), static_cast<LONG>(Size), nullptr, FILE_BEGIN) == Size) ::SetEndOfFile(File.Get());
    return false;
}

std::string TInstallRecordFile::NameInFolder(const std::string& path) const
{
    if (!IsOpen() || Folder.empty() || path.size() <= Folder.size() || path.compare(0, Folder.size(), Folder) != 0)
        return std::string();
    return path.substr(Folder.size());
}

void TInstallRecordFile::Note(const char* text)
{
    const std::string line = RecordedNote(text);
    // The log is bounded, so that the record stays one that is read whole.
    if ((IsOpen() ? Size : Pending.size()) + line.size() > kInstallRecordNotesStop) return;
    Keep(line);
}

// A line for people waits for the next line that names something, whose
// flush takes it to the disk too; without a record, for the record's opening.
void TInstallRecordFile::Keep(const std::string& line)
{
    if (IsOpen())
        Write(line, false);
    else
        Pending += line;
}

void TInstallRecordFile::Close(const char* lastNote)
{
    // The end comes past the bound too: it says how the run ended.
    Keep(RecordedNote(lastNote));
    if (IsOpen()) FlushStep(File.Get(), Path);
    if (!IsOpen() && !Pending.empty()) {
        // Only the log: a record there would name nothing of this run.
        Folder.clear();
        Path = JoinedPath(TemporaryFolder(), kInstallRecordName);
        // The last such run's log only: a temporary folder does not grow.
        File.Reset(::CreateFileA(Path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                 nullptr));
        Size = 0;
        if (IsOpen()) Write(InstallRecordTitle() + Pending);
    }
    Pending.clear();
    Known.clear();
    Folder.clear();
    File.Reset();
}

RunLog::RunLog(TInstallRecordFile& record, const char* kind, const char* source, bool components) : Record(record)
{
    ActiveRecord = &record;
    LastReport = 0;
    RunComplete = false;
    RunSourceReads() = SourceReads();
    SYSTEMTIME now = {};
    ::GetLocalTime(&now);
    // "1996-03-14 10:22"
    char date[] = "0000-00-00 00:00";
    const struct {
        int At;
        int Digits;
        WORD Value;
    } Fields[] = {{0, 4, now.wYear}, {5, 2, now.wMonth}, {8, 2, now.wDay}, {11, 2, now.wHour}, {14, 2, now.wMinute}};
    for (const auto& field : Fields)
        for (int i = field.Digits - 1, value = field.Value; i >= 0; --i, value /= 10)
            date[field.At + i] = static_cast<char>('0' + value % 10);
    char note[2 * kPathSize + 64];
    FormatText(note, sizeof note, "%s %s %s, from %s into %s", kRecordedProductName, kind, date, source,
               Settings.TargetDirectory);
    Record.Note(note);
    if (components) {
        static const char* const Names[ComponentCount] = {"program", "Crane rain", "CCIR rain", "Canadian rain",
                                                           "examples"};
        FormatText(note, sizeof note, "components:");
        for (int i = 0; i < ComponentCount; ++i) {
            const std::size_t used = std::strlen(note);
            if (Settings.Flags[i]) FormatText(note + used, sizeof note - used, "%s %s", used > 11 ? "," : "", Names[i]);
        }
        Record.Note(note);
    }
    Record.Note(IsUnattendedRun() ? "unattended" : "attended");
}

namespace {
// The last line: how the run ended. Without a report that ended it and
// without its completion, the person cancelled it.
void EndLog(TInstallRecordFile& record, const char* notice = nullptr)
{
    record.Note(SourceReadsNote().c_str());
    char end[40];
    if (RunComplete)
        FormatText(end, sizeof end, "end: complete");
    else if (notice)
        FormatText(end, sizeof end, "end: notice");
    else if (LastReport != 0)
        FormatText(end, sizeof end, "end: message %d", LastReport);
    else
        FormatText(end, sizeof end, "end: cancelled");
    record.Close(end);
    if (ActiveRecord == &record) ActiveRecord = nullptr;
}
}

RunLog::~RunLog()
{
    if (ActiveRecord == &Record) EndLog(Record);
}

void RunLog::Completed()
{
    LogRunComplete();
}

void LogRunComplete()
{
    RunComplete = true;
}

void EndRunLogAtReport()
{
    if (ActiveRecord) EndLog(*ActiveRecord);
}

void EndRunLogAtNotice()
{
    if (ActiveRecord) EndLog(*ActiveRecord, "notice");
}

void LogCancel(const char* text)
{
    // A report passed over before (Retry, Ignore) did not end the run.
    LastReport = 0;
    char note[kInstallRecordLineMax];
    FormatText(note, sizeof note, "cancelled: %s", text);
    LogNote(note);
}

void LogReport(int number, const char* text, int answer)
{
    static const struct {
        int Id;
        const char* Name;
    } Answers[] = {{IDOK, "OK"},   {IDCANCEL, "Cancel"}, {IDRETRY, "Retry"}, {IDYES, "Yes"},
                   {IDNO, "No"},   {IDABORT, "Abort"},   {IDIGNORE, "Ignore"}};
    const char* name = "none";
    for (const auto& known : Answers)
        if (known.Id == answer) name = known.Name;
    LastReport = number;
    // The button stays on the line however long the text: it is cut instead.
    char prefix[24];
    FormatText(prefix, sizeof prefix, "message %d: ", number);
    const std::string button = std::string(" (") + name + ")";
    const std::size_t room = kInstallRecordLineMax - 2 - std::strlen(prefix) - button.size();
    const std::string note = prefix + std::string(text).substr(0, room) + button;
    LogNote(note.c_str());
}

void LogNote(const char* text)
{
    if (ActiveRecord) ActiveRecord->Note(text);
}

int LastReportNumber()
{
    return LastReport;
}
