// SETUP.EXE, the launcher on disk 1: chooses the installer's build for the
// running system, starts it from a copy in a temporary folder as
//   "<installer>" <source folder> <launcher window in hex>
// and waits until it has ended, then removes the copy.
//
// Exit codes: 0 the installer ended and said so (message 1074), or another
// SETUP.EXE was running; 1 the system is not supported, the installer could
// not be started, or the person chose not to go on from a folder; 2 the
// installer ended without saying so; 3 out of memory.
#include "launcher/FinishWatch.h"
#include "launcher/OneSetup.h"
#include "launcher/ResidentImage.h"
#include "launcher/TemporaryCopy.h"
#include "launcher/plain/LaunchPlan.h"
#include "shell/runtime/Runtime.h"

namespace {
const char* const BoxTitle = "Tessaryn 3.0 Setup";
constexpr int ExitFinished = 0;
constexpr int ExitNotStarted = 1;
constexpr int ExitEndedUntold = 2;

int Refuse(const char* text)
{
    ::MessageBoxA(nullptr, text, BoxTitle, MB_OK | MB_ICONSTOP);
    return ExitNotStarted;
}

// "Cannot start <file>" and the platform's reason on the next line, its
// inserts filled with the file's name.
int RefuseStart(const char* file, DWORD error)
{
    char reason[256];
    if (!::FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0, reason,
                          sizeof reason, nullptr))
        ::wsprintfA(reason, "Error %lu.", static_cast<unsigned long>(error));
    char filled[sizeof reason + MAX_PATH];
    FillReasonInserts(reason, file, filled, sizeof filled);
    char text[MAX_PATH + sizeof filled + 32];
    ::wsprintfA(text, "Cannot start %s:\n%s", file, filled);
    return Refuse(text);
}

// The installer keeps only the drive letter of its source, so from a folder
// that is not a drive's root an installation asks for its disks in that
// drive's root. Whether to go on all the same.
bool GoOnFromFolder(const char* source)
{
    if (IsDriveRoot(source)) return true;
    char question[MAX_PATH + 256];
    if (!FolderStartQuestion(source, question, sizeof question)) return true;
    return ::MessageBoxA(nullptr, question, BoxTitle, MB_YESNO | MB_ICONQUESTION) == IDYES;
}

bool Start(const char* program, const char* commandLine, const char* directory, PROCESS_INFORMATION& process)
{
    char line[2 * MAX_PATH + 32];
    ::lstrcpyA(line, commandLine);  // the platform may write into it
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    return ::CreateProcessA(program, line, nullptr, nullptr, FALSE, 0, nullptr, directory, &startup, &process) != 0;
}
}

int AppMain(int, char*[])
{
    const InstallerBuildChoice build = ChooseInstallerBuild(::GetVersion());
    if (build == InstallerBuildChoice::Unsupported)
        return Refuse("Tessaryn 3.0 needs Windows 95 or Windows NT.");

    OneSetup one;
    if (one.AnotherRuns()) {
        OneSetup::ShowRunningInstaller();
        return ExitFinished;
    }

    char own[MAX_PATH];
    char source[MAX_PATH];
    DWORD length = ::GetModuleFileNameA(nullptr, own, sizeof own);
    // Room is kept for the installer's folder and name after the source folder.
    if (length == 0 || length >= sizeof own || !SourceFolderOf(own, source, sizeof source - 32))
        return RefuseStart(own, ::GetLastError());
    if (!GoOnFromFolder(source)) return ExitNotStarted;

    // The installer as it lies on the disk: SETUP\TSINST95.EXE.
    char setupDirectory[MAX_PATH];
    char setupFolder[MAX_PATH];
    char onDisk[MAX_PATH];
    const char* name = InstallerFileName(build);
    ::wsprintfA(setupDirectory, "%s%s", source, InstallerFolder);
    ::wsprintfA(setupFolder, "%s\\", setupDirectory);
    ::wsprintfA(onDisk, "%s%s", setupFolder, name);

    FinishWatch watch;
    TemporaryCopy copy;
    // Without a copy the installer runs from the disk; being marked to run
    // from the swap file, it is not read from the disk again once loaded.
    // Its folder there is its current directory all the same, where the help
    // viewer finds the help file while disk 1 is in the drive.
    char temporary[MAX_PATH];
    const bool copied = ChooseTemporaryFolder(source, temporary, sizeof temporary) &&
                        copy.Make(temporary, setupFolder, name);
    const char* program = copied ? copy.Installer() : onDisk;
    char commandLine[2 * MAX_PATH + 32];
    PROCESS_INFORMATION process;
    KeepOwnImageResident();
    if (!watch.Handle() ||
        !BuildInstallerCommandLine(program, source, static_cast<DWORD>(reinterpret_cast<UINT_PTR>(watch.Handle())),
                                   commandLine, sizeof commandLine) ||
        !Start(program, commandLine, copied ? copy.Folder() : setupDirectory, process)) {
        // The file that was started is named, the copy where there is one.
        return RefuseStart(program, ::GetLastError());
    }
    ::CloseHandle(process.hThread);
    watch.WaitFor(process.hProcess);
    ::CloseHandle(process.hProcess);
    return watch.Finished() ? ExitFinished : ExitEndedUntold;
}
