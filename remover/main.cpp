// TSWREMOV.EXE, the removal program an installation puts into its folder:
// started with no arguments (by Add/Remove Programs or the group's item), it
// removes from its own folder what the record there (TSW_INST.LOG) says the
// installations made and is still as they made it, and nothing else.
//
// Exit codes: 0 everything it should remove is gone (its own file at the
// system's next start); 1 something is left that the next removal finishes,
// or there is no record; 2 the person chose not to remove; 3 out of memory.
#include "framework/UniqueHandle.h"
#include "remover/ProgressBox.h"
#include "remover/Removal.h"
#include "remover/StartUpDeletion.h"
#include "shell/plain/FormatText.h"
#include "shell/plain/MessageTable.h"
#include "shell/plain/PathHelpers.h"
#include "shell/runtime/Runtime.h"

namespace {
constexpr int ExitRemoved = 0;
constexpr int ExitLeft = 1;
constexpr int ExitDeclined = 2;

// Off the stack, which the runtime grows without probing.
char OwnPath[MAX_PATH];
char Folder[MAX_PATH];
char Text[kLastBoxTextSize];
RemovalOutcome Outcome;

class WindowsSurface : public RemovalSurface {
public:
    WindowsSurface() : Progress(kRemovalTitle) {}

    void Removing(const char* name) override
    {
        char text[80];
        FormatText(text, sizeof text, "Removing %s . . .", name);
        Progress.Show(text);
    }

    // A numbered report of the installer's table, with advice below it.
    bool RetryRemoval(const char* path) override
    {
        char report[kMessageSize + MAX_PATH];
        ComposeMessage(report, sizeof report, MsgCannotRemoveFile, path);
        FormatText(Text, sizeof Text, "%s\n\nIt may be in use or read-only.",
                   report);
        return ::MessageBoxA(Progress.Handle(), Text, MessageText(MsgRemovalError), MB_RETRYCANCEL | MB_ICONHAND) ==
               IDRETRY;
    }

    bool RemoveOwnFileLater(bool folderToo) override
    {
        return DeleteAtNextStart(OwnPath, folderToo ? Folder : nullptr);
    }

private:
    ProgressBox Progress;
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
}

int AppMain(int, char*[])
{
    const DWORD length = ::GetModuleFileNameA(nullptr, OwnPath, sizeof OwnPath);
    if (length == 0 || length >= sizeof OwnPath) return ExitLeft;
    // The installation's folder is the program's own, named without its
    // closing backslash.
    CopyBounded(Folder, sizeof Folder, OwnPath);
    *FileNamePart(Folder) = '\0';
    if (EndsWithBackslash(Folder)) Folder[::lstrlenA(Folder) - 1] = '\0';

    InstallRecordContents record;
    if (!ReadRecord(record)) {
        FormatText(Text, sizeof Text, "No %s in %s: nothing is removed.", kInstallRecordName, Folder);
        ::MessageBoxA(nullptr, Text, kRemovalTitle, MB_OK | MB_ICONSTOP);
        return ExitLeft;
    }
    RemovalQuestion(Folder, Text, sizeof Text);
    if (::MessageBoxA(nullptr, Text, kRemovalTitle, MB_YESNO | MB_ICONQUESTION) != IDYES) return ExitDeclined;
    {
        WindowsSurface surface;
        RemoveInstallation(Folder, record, OwnPath, surface, Outcome);
    }
    LastBoxText(Folder, Outcome, Text, sizeof Text);
    ::MessageBoxA(nullptr, Text, kRemovalTitle, MB_OK | MB_ICONINFORMATION);
    return RemovalComplete(Outcome) ? ExitRemoved : ExitLeft;
}
