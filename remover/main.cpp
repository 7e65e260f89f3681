// TSWREMOV.EXE, the removal program an installation puts into its folder:
// started with no arguments (by Add/Remove Programs or the group's item), it
// removes from its own folder what the record there (TSW_INST.LOG) says the
// installations made and is still as they made it, and nothing else.
// TSWREMOV.EXE /Q does the same with no question and no last box, its notes
// in TSWREMOV.LOG in the Windows folder.
//
// Exit codes: 0 everything it should remove is gone (its own file at the
// system's next start); 1 something is left that the next removal finishes,
// or there is no record; 2 the person chose not to remove; 3 out of memory;
// with /Q, 4 as 0 but files the record names were kept because they changed,
// and a report's number where that report ended the run.
#include "engine/plain/ReplacementRecord.h"
#include "framework/UniqueHandle.h"
#include "remover/Removal.h"
#include "remover/StartUpDeletion.h"
#include "shell/plain/FormatText.h"
#include "shell/plain/MessageTable.h"
#include "shell/plain/PathHelpers.h"
#include "shell/runtime/Runtime.h"

#include <cstring>

namespace {
constexpr int ExitRemoved = 0;
constexpr int ExitLeft = 1;
constexpr int ExitDeclined = 2;
constexpr int ExitChangedKept = 4;

// Off the stack, which the runtime grows without probing.
char OwnPath[MAX_PATH];
char Folder[MAX_PATH];
char Text[kLastBoxTextSize];
char LogText[2 * kLastBoxTextSize];
RemovalOutcome Outcome;
// An unattended run (/Q): no window waits for a person; its notes go to the log.
bool Unattended;
HANDLE Log;  // null where it could not be made
// The number of the report that ended an unattended run; 0 while none did.
int EndingReport;

// Appends `text` to the log, each line break as CR LF.
void Note(const char* text)
{
    std::size_t length = 0;
    for (; *text && length + 4 < sizeof LogText; ++text) {
        if (*text == '\n') LogText[length++] = '\r';
        LogText[length++] = *text;
    }
    LogText[length++] = '\r';
    LogText[length++] = '\n';
    DWORD written = 0;
    if (Log) ::WriteFile(Log, LogText, static_cast<DWORD>(length), &written, nullptr);
}

// A numbered report of the installer's table under "Removal Error", about a
// file another program holds (`detail`): "Cannot Remove File" for a recorded
// file, "File Read Error" for the folder's claim. Retry or Cancel; an
// unattended run notes it and ends there, the report's number its exit code.
bool Report(int number, const char* detail)
{
    FormatText(Text, sizeof Text, "%s %s\n\nIt may be in use or read-only.",
               number == MsgCannotRemoveFile ? kCannotRemoveFileText : kFileReadErrorText, detail);
    if (Unattended) {
        EndingReport = number;
        Note(Text);
        return false;
    }
    return ::MessageBoxA(nullptr, Text, kRemovalErrorText, MB_RETRYCANCEL | MB_ICONHAND) == IDRETRY;
}

// No window shows while the removal works: one would not leave the program
// within its size (each step's outcome is in the last box).
class WindowsSurface : public RemovalSurface {
public:
    bool RetryRemoval(const char* path) override
    {
        return Report(MsgCannotRemoveFile, path);
    }

    bool RemoveOwnFileLater(bool folderToo) override
    {
        return DeleteAtNextStart(OwnPath, folderToo ? Folder : nullptr);
    }
};

// The record's lines that read right; false when there is no record to read.
bool ReadRecord(InstallRecordContents& record)
{
    FormatText(Text, MAX_PATH, "%s\\%s", Folder, kInstallRecordName);
    TFile file(::CreateFileA(Text, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                             nullptr));
    const DWORD size = file.IsValid() ? ::GetFileSize(file.Get(), nullptr) : INVALID_FILE_SIZE;
    if (size == INVALID_FILE_SIZE || size > kInstallRecordReadMax) return false;
    char* text = new char[size + 1];
    DWORD read = 0;
    const bool whole = ::ReadFile(file.Get(), text, size, &read, nullptr) && read == size;
    // A line that does not read right names nothing to remove; the others still do.
    if (whole) ReadInstallRecord(text, size, record);
    delete[] text;
    return whole;
}

int Removal()
{
    // Never destroyed: the program ends with the removal, and the code that
    // would free it would not leave the program within its size.
    InstallRecordContents& record = *new InstallRecordContents;
    // Another installation program working in the folder holds its claim,
    // the record of an update's renames (one cut short left it, and its next
    // run there removes it): the removal touches nothing meanwhile.
    FormatText(Text, MAX_PATH, "%s\\%s", Folder, kReplacementRecordName);
    while (::GetFileAttributesA(Text) != INVALID_FILE_ATTRIBUTES)
        if (!Report(MsgFileReadError, kReplacementRecordName)) return EndingReport ? EndingReport : ExitLeft;
    if (!ReadRecord(record)) {
        FormatText(Text, sizeof Text, "No %s in %s: nothing is removed.", kInstallRecordName, Folder);
        if (Unattended)
            Note(Text);
        else
            ::MessageBoxA(nullptr, Text, kRemovalTitle, MB_OK | MB_ICONSTOP);
        return ExitLeft;
    }
    RemovalQuestion(Folder, Text, sizeof Text);
    if (!Unattended && ::MessageBoxA(nullptr, Text, kRemovalTitle, MB_YESNO | MB_ICONQUESTION) != IDYES)
        return ExitDeclined;
    {
        WindowsSurface surface;
        RemoveInstallation(Folder, record, OwnPath, surface, Outcome);
    }
    LastBoxText(Folder, Outcome, Text, sizeof Text);
    if (!Unattended) {
        ::MessageBoxA(nullptr, Text, kRemovalTitle, MB_OK | MB_ICONINFORMATION);
        return RemovalComplete(Outcome) ? ExitRemoved : ExitLeft;
    }
    Note(Text);
    if (EndingReport) return EndingReport;
    if (!RemovalComplete(Outcome)) return ExitLeft;
    return Outcome.ChangedKept ? ExitChangedKept : ExitRemoved;
}
}

int AppMain(int argc, char* argv[])
{
    const DWORD length = ::GetModuleFileNameA(nullptr, OwnPath, sizeof OwnPath);
    if (length == 0 || length >= sizeof OwnPath) return ExitLeft;
    // The installation's folder is the program's own, named without its
    // closing backslash.
    CopyBounded(Folder, sizeof Folder, OwnPath);
    *FileNamePart(Folder) = '\0';
    if (EndsWithBackslash(Folder)) Folder[std::strlen(Folder) - 1] = '\0';

    Unattended = argc > 1 && SameName(argv[1], "/Q");
    TFile log;
    if (Unattended) {
        // The record goes with the removal: the notes go where they stay.
        const UINT windowsLength = ::GetWindowsDirectoryA(Text, MAX_PATH);
        if (windowsLength > 0 && windowsLength < MAX_PATH) {
            FormatText(Text + windowsLength, MAX_PATH, EndsWithBackslash(Text) ? "%s" : "\\%s", "TSWREMOV.LOG");
            log.Reset(::CreateFileA(Text, GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
            if (log.IsValid()) Log = log.Get();
        }
    }
    const int exitCode = Removal();
    if (log.IsValid()) ::FlushFileBuffers(log.Get());
    return exitCode;
}
