#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// What the installations into a folder made there, so that Tessaryn can be
// removed later without touching anything of the person's: TSW_INST.LOG in
// the installation's folder, CR LF lines a person can read. Every
// installation and update appends to it; a line that names something is on
// the disk before what it names is made, so a run cut at any point leaves a
// record naming everything it may have left. Lines starting with "; " are
// the run's log for people (its settings, lists, reports, its end) and mean
// nothing to a program:
//
//   TSW30 INSTALLATION RECORD
//   ; Tessaryn 3.0 installation 1996-03-14 10:22, from A:\ into C:\TSW30
//   FOLDER .
//   FOLDER USER_DLL
//   FILE 0A1B2C3D 48213 TSW.EXE
//   FILE 9F00E417 912 LOOKUP\ITU.LU
//   GROUP PERSONAL Tessaryn 3.0
//   REGISTRY Tessaryn 3.0
//
// FOLDER: a folder the run created, from the installation's folder ("." is
// that folder itself; folders above it are never named). FILE: a file it
// installed, with the CRC-32 (Crc32.h) and the size of what it installed; a
// name may have several lines, one for each version installed over time.
// GROUP: the Program Manager group it made, PERSONAL or COMMON. REGISTRY: the
// key under the system's Uninstall key that registers the removal program.
extern const char* const kInstallRecordName;  // "TSW_INST.LOG"

// The group and registration names a record may give: only the installer's own.
extern const char* const kRecordedProductName;  // "Tessaryn 3.0"

// The longest line a record holds; a longer one does not read right.
constexpr std::size_t kInstallRecordLineMax = 300;

// The record stays small enough to read whole, also after hundreds of runs:
// its lines that name something are kept for good, but the log is bounded.
// A record past kInstallRecordTrimAt when a run opens it is written afresh
// with the notes of the latest runs within kInstallRecordNotesKept bytes; a
// run writes no more notes once the record passes kInstallRecordNotesStop
// (its end line still comes). Every record up to kInstallRecordReadMax is
// read, by the installer and by the removal program: also one an earlier
// installer left, which appended whole runs up to past 1 MB.
constexpr std::size_t kInstallRecordTrimAt = 512 * 1024;
constexpr std::size_t kInstallRecordNotesKept = 256 * 1024;
constexpr std::size_t kInstallRecordNotesStop = 1024 * 1024;
constexpr std::size_t kInstallRecordReadMax = 2 * 1024 * 1024;

struct RecordedFile {
    std::string Name;  // from the installation's folder, as a list names it
    std::uint32_t Crc = 0;
    std::uint32_t Size = 0;
};

struct InstallRecordContents {
    std::vector<std::string> Folders;  // "." or a name as a list gives one
    std::vector<RecordedFile> Files;
    bool PersonalGroup = false;
    bool CommonGroup = false;
    bool Registered = false;
};

// The record's text, piece by piece, each with its line break.
std::string InstallRecordTitle();
std::string RecordedFolderLine(const std::string& folder);
std::string RecordedFileLine(const RecordedFile& file);
std::string RecordedGroupLine(bool common);
std::string RecordedRegistrationLine();
// A line for people: "; " and the text, each control character as a space,
// cut to fit kInstallRecordLineMax.
std::string RecordedNote(const std::string& text);

// Reads a record held in memory. Every line that reads right is taken, in
// order; lines for people, blank lines and a last line without its break
// (an append cut short) are passed over. True when every byte read right:
// the title first, then only lines of the forms above. A false result still
// leaves what did read right in `contents`; a name that could lead out of
// the installation's folder (IsSafeInstalledName), a group or registration of
// another name, or a line with a NUL byte never reads right.
bool ReadInstallRecord(const char* data, std::size_t size, InstallRecordContents& contents);

// The record as it is written afresh: the title, then every line that reads
// right, in order, the notes only from the latest runs whose notes fit in
// `notesKept` bytes (a run's notes begin with the one naming the product and
// the run, "; Tessaryn 3.0 installation ..."); where the latest run's alone
// do not fit, its last notes that do.
std::string KeptRecordText(const char* data, std::size_t size, std::size_t notesKept);
