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
#include "remover/plain/RemovalPlan.h"
#include "shell/plain/FormatText.h"
#include "shell/plain/MessageTable.h"
#include "shell/plain/PathHelpers.h"
#include "shell/runtime/Runtime.h"

namespace {
constexpr int ExitRemoved = 0;
constexpr int ExitLeft = 1;
constexpr int ExitDeclined = 2;
// A record holds a line of at most 300 characters for each file installed over time.
constexpr DWORD RecordLimit = 1 << 20;

class WindowsSurface : public RemovalSurface {
public:
    explicit WindowsSurface(const char* ownPath) : OwnPath(ownPath), Progress(kRemovalTitle) {}

    void Removing(const std::string& name) override
    {
        char text[80];
        FormatText(text, sizeof text, "Removing %s . . .", FileNamePart(name.c_str()));
        Progress.Show(text);
    }

    bool RetryRemoval(const std::string& path) override
    {
        char text[kMessageSize + MAX_PATH + 256];
        ComposeMessage(text, kMessageSize + MAX_PATH, MsgCannotRemoveFile, path.c_str());
        ::lstrcatA(text, "\n\nA program may be using it, or it may be read-only. Close the program or clear "
                         "the attribute, then choose Retry. Cancel stops here; the next removal goes on.");
        return ::MessageBoxA(Progress.Handle(), text, MessageText(MsgRemovalError),
                             MB_RETRYCANCEL | MB_ICONHAND) == IDRETRY;
    }

    bool RemoveOwnFileLater(bool folderToo) override { return DeleteAtNextStart(OwnPath, folderToo); }

private:
    const char* OwnPath;
    ProgressBox Progress;
};

// The record's lines that read right; false when there is no record to read.
bool ReadRecord(const std::string& path, InstallRecordContents& record)
{
    TFile file(::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                             FILE_ATTRIBUTE_NORMAL, nullptr));
    const DWORD size = file.IsValid() ? ::GetFileSize(file.Get(), nullptr) : INVALID_FILE_SIZE;
    if (size == INVALID_FILE_SIZE || size > RecordLimit) return false;
    std::string text(size, '\0');
    DWORD read = 0;
    if (size && (!::ReadFile(file.Get(), &text[0], size, &read, nullptr) || read != size)) return false;
    // A line that does not read right names nothing to remove; the others still do.
    ReadInstallRecord(text.data(), text.size(), record);
    return true;
}
}

int AppMain(int, char*[])
{
    char own[MAX_PATH];
    const DWORD length = ::GetModuleFileNameA(nullptr, own, sizeof own);
    if (length == 0 || length >= sizeof own) return ExitLeft;
    // The installation's folder is the program's own.
    char folder[MAX_PATH];
    CopyBounded(folder, sizeof folder, own);
    *FileNamePart(folder) = '\0';
    // Named without its closing backslash, but for a drive's root ("C:\\").
    const int end = ::lstrlenA(folder);
    if (end > 3 && EndsWithBackslash(folder)) folder[end - 1] = '\0';

    InstallRecordContents record;
    if (!ReadRecord(JoinedPath(folder, kInstallRecordName), record)) {
        char text[MAX_PATH + 128];
        FormatText(text, sizeof text, "%s holds no record of an installation (%s): nothing is removed.", folder,
                   kInstallRecordName);
        ::MessageBoxA(nullptr, text, kRemovalTitle, MB_OK | MB_ICONSTOP);
        return ExitLeft;
    }
    if (::MessageBoxA(nullptr, RemovalQuestion(folder).c_str(), kRemovalTitle, MB_YESNO | MB_ICONQUESTION) != IDYES)
        return ExitDeclined;

    RemovalOutcome outcome;
    {
        WindowsSurface surface(own);
        outcome = RemoveInstallation(folder, record, own, surface);
    }
    ::MessageBoxA(nullptr, LastBoxText(folder, outcome).c_str(), kRemovalTitle, MB_OK | MB_ICONINFORMATION);
    return RemovalComplete(outcome) ? ExitRemoved : ExitLeft;
}
