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
int LastReport = 0;

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
    if (!PathExists(Path.c_str())) {
        // A new record: its title is on the disk before any line.
        File.Reset(::CreateFileA(Path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW,
                                 FILE_ATTRIBUTE_NORMAL, nullptr));
        Size = 0;
        if (IsOpen() && !Write(InstallRecordTitle())) File.Reset();
    } else {
        // One that cannot be read at all (too long, held by another program) is left as it is.
        bool whole = false;
        if (!Load(Path, keep, whole) || !(whole ? OpenToAppend() : StartAfresh(Folder, InstallRecordTitle() + keep)))
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

// Reads the record: `keep` its lines that read right, as the record writes
// them, `whole` whether all of it did. False when it cannot be read.
bool TInstallRecordFile::Load(const std::string& path, std::string& keep, bool& whole)
{
    std::vector<char> contents;
    if (LoadListFile(path.c_str(), contents) != ListLoadResult::Loaded) return false;
    InstallRecordContents read;
    whole = ReadInstallRecord(contents.data(), contents.size(), read);
    keep = LinesOf(read);
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
    if (!IsOpen()) {
        Pending += line;
        return;
    }
    // A line for people waits for the next line that names something, whose
    // flush takes it to the disk too.
    Write(line, false);
}

void TInstallRecordFile::Close(const char* lastNote)
{
    Note(lastNote);
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
void EndLog(TInstallRecordFile& record, bool complete)
{
    record.Note(SourceReadsNote().c_str());
    char end[40];
    if (complete)
        FormatText(end, sizeof end, "end: complete");
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
    if (ActiveRecord == &Record) EndLog(Record, Complete);
}

void EndRunLogAtReport()
{
    if (ActiveRecord) EndLog(*ActiveRecord, false);
}

void LogReport(int number, const char* text, int answer)
{
    static const struct {
        int Id;
        const char* Name;
    } Answers[] = {{IDOK, "OK"}, {IDCANCEL, "Cancel"}, {IDRETRY, "Retry"}, {IDYES, "Yes"}, {IDNO, "No"}};
    const char* name = "none";
    for (const auto& known : Answers)
        if (known.Id == answer) name = known.Name;
    LastReport = number;
    char note[kInstallRecordLineMax];
    FormatText(note, sizeof note, "message %d: %s (%s)", number, text, name);
    LogNote(note);
}

void LogNote(const char* text)
{
    if (ActiveRecord) ActiveRecord->Note(text);
}

int LastReportNumber()
{
    return LastReport;
}
