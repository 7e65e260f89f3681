#pragma once
// What SETUP.EXE decides before it starts the installer: which build suits
// the running system, where the installer and its companions lie on disk 1,
// the source folder and the installer's command line.
#include <cstddef>
#include <cstdint>

enum class InstallerBuildChoice {
    Windows95,    // Windows 95 and its successors
    WindowsNt,    // Windows NT 3.51, 4.0 and later
    Unsupported,  // Win32s on Windows 3.1
};

// From the platform's version number as GetVersion gives it: the major
// version in the low byte; the top bit set on Windows 95 and its successors
// (major 4 and up) and on Win32s (major 3), clear on Windows NT.
InstallerBuildChoice ChooseInstallerBuild(std::uint32_t platformVersion);

// The installer's folder on disk 1, below the source folder.
constexpr const char* InstallerFolder = "SETUP";
// The chosen build's file name in that folder ("TSINST95.EXE"); null for
// an unsupported system.
const char* InstallerFileName(InstallerBuildChoice choice);
// The installer's engine, which its front loads ("TSINST95.DLL": the
// installer's name with .DLL); null for an unsupported system.
const char* EngineFileName(InstallerBuildChoice choice);

// Files the installer finds in its current directory: its picture, which its
// main window loads, its engine, which a command loads, its help file, which
// only Help opens, and the removal program, which an installation copies
// into its folder. Each is copied beside the installer when the disk holds
// it; all but the picture once the main window shows, so that no more of
// disk 1 is read before it than it needs; the engine first among them.
constexpr const char* HelpFile = "TSW_INST.HLP";
struct CompanionFile {
    const char* Name;
    bool AfterMainWindow;
};
constexpr CompanionFile CompanionFiles[] = {{"INSTALL.EMF", false}, {HelpFile, true}, {"TSWREMOV.EXE", true}};
constexpr std::size_t CompanionFileCount = sizeof CompanionFiles / sizeof CompanionFiles[0];
// The installer, its companions and its engine (`engine`) in the order
// SETUP.EXE expands them, the installer first. A run whose engine starts at
// once (`windowless`: /Q) gets them all before it starts.
constexpr std::size_t LaunchFileCount = 2 + CompanionFileCount;
void ListLaunchFiles(const char* installer, const char* engine, bool windowless,
                     CompanionFile (&files)[LaunchFileCount]);

// The folder of SETUP.EXE's own path, with its trailing backslash: the source
// path handed to the installer (A:\SETUP.EXE gives A:\). False when the path
// holds no folder or the folder does not fit `size`.
bool SourceFolderOf(const char* ownPath, char* folder, std::size_t size);

// The installer's command line: "<installer>" <source folder> <window in hex>,
// and `then` after a blank when given (an unattended run's switch), and
// `folder` after it when given (a point's folder). A folder is quoted when it
// holds a blank, its closing backslash then doubled so that the C start-up
// keeps it. False when the line does not fit `size`.
bool BuildInstallerCommandLine(const char* installer, const char* sourceFolder, std::uint32_t window, char* line,
                               std::size_t size, const char* then = nullptr, const char* folder = nullptr);

// The name of a new temporary folder, TSWnnnnn.TMP with five hexadecimal
// digits of `number`: 13 bytes with the terminator.
constexpr std::size_t kTemporaryFolderNameSize = 13;
void TemporaryFolderName(std::uint32_t number, char* name);

// The upper-case drive letter of a full path on a lettered drive ("a:\\TEMP"
// gives 'A'); 0 for any other form (a network path, a relative one).
char DriveLetterOf(const char* path);

// Whether the source folder is the root of a lettered drive ("A:\"): only
// there the installer, which keeps only its drive letter, finds the disks.
bool IsDriveRoot(const char* sourceFolder);

// The question SETUP.EXE asks before it starts the installer from a folder
// that is not a drive's root. False when it does not fit `size`.
bool FolderStartQuestion(const char* sourceFolder, char* text, std::size_t size);

// The help viewers read a help file of a path of at most 127 characters.
constexpr std::size_t kHelpPathLimit = 127;
// Whether the help file's path in `folder` (without a trailing backslash)
// stays within that limit.
bool HelpFileFitsViewer(const char* folder);

// The platform's reason for a failure with its inserts filled: %1 becomes
// `file`, any other insert (%2 to %99, each with an optional !format!) goes;
// other text is kept. Cut to fit `size`.
void FillReasonInserts(const char* reason, const char* file, char* text, std::size_t size);
