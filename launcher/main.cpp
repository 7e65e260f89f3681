// SETUP.EXE, the launcher on disk 1: chooses the installer's build for the
// running system, starts it from a copy expanded into a folder on a hard disk as
//   "<installer>" <source folder> <launcher window in hex>
// and waits until it has ended, then removes the copy.
//
// Exit codes: 0 the installer ended and said so (message 1074), or another
// SETUP.EXE was running; 1 the system is not supported, the installer could
// not be copied to a hard disk or not be started, or the person chose not to
// go on from a folder; 2 the
// installer ended without saying so; 3 out of memory.
//
// SETUP.EXE /Q starts the installer unattended (kUnattendedArgument after
// the window) and shows no box of its own: what would have asked or refused
// ends it with exit code 1, also where another SETUP.EXE runs or the folder
// is not a drive's root. Once the installer has ended and said so, its own
// exit code is SETUP.EXE's: 0 after a complete installation, otherwise the
// number of the message that ended the run. SETUP.EXE /A FOLDER starts the
// installer to make an installation point in FOLDER (shell/InstallationPoint.h)
// and ends with its exit code: 0 when the point is made, 1 when not.
#include "launcher/FinishWatch.h"
#include "launcher/OneSetup.h"
#include "shell/PlatformReason.h"
#include "launcher/ResidentImage.h"
#include "launcher/TemporaryCopy.h"
#include "launcher/plain/LaunchPlan.h"
#include "launcher/plain/SetupSwitches.h"
#include "shell/plain/CommandLine.h"
#include "shell/runtime/Runtime.h"

namespace {
const char* const BoxTitle = "Tessaryn 3.0 Setup";
constexpr int ExitFinished = 0;
constexpr int ExitNotStarted = 1;
constexpr int ExitEndedUntold = 2;
bool Quiet = false;  // SETUP.EXE /Q: no box waits for a person

int Refuse(const char* text)
{
    if (!Quiet) ::MessageBoxA(nullptr, text, BoxTitle, MB_OK | MB_ICONSTOP);
    return ExitNotStarted;
}

// "Cannot start <file>" and the platform's reason on the next line, its
// inserts filled with the file's name.
int RefuseStart(const char* file, DWORD error)
{
    char reason[kReasonSize];
    PlatformReason(error, reason);
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
    if (Quiet) return false;  // nobody to answer
    char question[MAX_PATH + 256];
    if (!FolderStartQuestion(source, question, sizeof question)) return true;
    return ::MessageBoxA(nullptr, question, BoxTitle, MB_YESNO | MB_ICONQUESTION) == IDYES;
}

// Expands the installer and its companions into the first place on a hard
// disk that takes them; the box says why none did, or which file of the disk
// does not read whole. False when nothing is to be started. Its buffers stay
// off AppMain's frame, which keeps within the stack page that the start-up
// commits without probing (the runtime has no stack probe).
__attribute__((noinline)) bool CopyToHardDisk(TemporaryCopy& copy)
{
    CopyPlaces places;
    CopyPlaceFault faults[kCopyPlaceCount];
    const CopyPlaceProbe* probes = places.Probes();
    for (std::size_t i = NextCopyPlace(probes, kCopyPlaceCount, 0, copy.Need(), faults); i < kCopyPlaceCount;
         i = NextCopyPlace(probes, kCopyPlaceCount, i + 1, copy.Need(), faults)) {
        const TemporaryCopy::Result result = copy.Make(probes[i].Folder);
        if (result == TemporaryCopy::Result::Made) return true;
        if (result == TemporaryCopy::Result::SourceDamaged) {
            RefuseStart(copy.Damaged(), ERROR_FILE_CORRUPT);
            return false;
        }
        faults[i] = CopyPlaceFault::CopyFailed;
    }
    char text[3 * MAX_PATH + 512];
    NoCopyPlaceText(probes, faults, kCopyPlaceCount, copy.Need(), text, sizeof text);
    Refuse(text);
    return false;
}

bool Start(const char* program, const char* commandLine, const char* directory, PROCESS_INFORMATION& process)
{
    char line[3 * MAX_PATH + 32];
    ::lstrcpyA(line, commandLine);  // the platform may write into it
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    return ::CreateProcessA(program, line, nullptr, nullptr, FALSE, 0, nullptr, directory, &startup, &process) != 0;
}
}

int AppMain(int argc, char* argv[])
{
    const SetupRequest request = ReadSetupSwitches(argc, argv);
    Quiet = request.Mode == SetupMode::Unattended;
    const InstallerBuildChoice build = ChooseInstallerBuild(::GetVersion());
    if (build == InstallerBuildChoice::Unsupported)
        return Refuse("Tessaryn 3.0 needs Windows 95 or Windows NT.");

    char own[MAX_PATH];
    char source[MAX_PATH];
    DWORD length = ::GetModuleFileNameA(nullptr, own, sizeof own);
    // Room is kept for the installer's folder and name after the source folder.
    if (length == 0 || length >= sizeof own || !SourceFolderOf(own, source, sizeof source - 32))
        return RefuseStart(own, ::GetLastError());
    // A point is made from any folder.
    const bool point = request.Mode == SetupMode::InstallationPoint;
    // Its folder is taken from here: the installer's current folder is its
    // copy's. Off the frame, as the buffers of CopyToHardDisk are.
    static char pointFolder[MAX_PATH];
    if (point && request.Folder) {
        char* file;
        const DWORD full = ::GetFullPathNameA(request.Folder, sizeof pointFolder, pointFolder, &file);
        if (full == 0 || full >= sizeof pointFolder) pointFolder[0] = '\0';
    }
    OneSetup one;
    if (one.AnotherRuns()) {
        if (Quiet) return ExitNotStarted;
        OneSetup::ShowRunningInstaller();
        return point ? ExitNotStarted : ExitFinished;
    }
    if (!point && !GoOnFromFolder(source)) return ExitNotStarted;

    // The installer as it lies on the disk: SETUP\TSINST95.EXE (or .EX_).
    char setupFolder[MAX_PATH];
    char onDisk[MAX_PATH];
    const char* name = InstallerFileName(build);
    ::wsprintfA(setupFolder, "%s%s\\", source, InstallerFolder);
    ::wsprintfA(onDisk, "%s%s", setupFolder, name);

    FinishWatch watch;
    TemporaryCopy copy;
    // An unattended run's engine starts at once; a point's copy needs none.
    if (!copy.Find(setupFolder, name, EngineFileName(build), Quiet)) return RefuseStart(onDisk, ERROR_FILE_NOT_FOUND);
    if (!CopyToHardDisk(copy)) return ExitNotStarted;
    const char* program = copy.Installer();
    char commandLine[3 * MAX_PATH + 32];
    PROCESS_INFORMATION process;
    KeepOwnImageResident();
    if (!watch.Handle() ||
        !BuildInstallerCommandLine(program, source, static_cast<DWORD>(reinterpret_cast<UINT_PTR>(watch.Handle())),
                                   commandLine, sizeof commandLine,
                                   point ? kPointArgument : Quiet ? kUnattendedArgument : nullptr,
                                   point ? pointFolder : nullptr) ||
        !Start(program, commandLine, copy.Folder(), process)) {
        // The copy that was started is named.
        return RefuseStart(program, ::GetLastError());
    }
    ::CloseHandle(process.hThread);
    watch.WaitFor(process.hProcess, [](void* late) { static_cast<TemporaryCopy*>(late)->AddLateFiles(); }, &copy);
    DWORD installerExit = ExitFinished;
    if ((Quiet || point) && !::GetExitCodeProcess(process.hProcess, &installerExit)) installerExit = ExitEndedUntold;
    ::CloseHandle(process.hProcess);
    return watch.Finished() ? static_cast<int>(installerExit) : ExitEndedUntold;
}
