#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Size of one list line as read: 78 characters, the line break and the terminator.
constexpr std::size_t kListLineSize = 80;
constexpr std::size_t kListLineMaxLength = 78;

// Reads a disk list file held in memory the way a text-mode stream does:
// a carriage return before a line feed is dropped and a Ctrl-Z ends the file.
class ListLineReader {
public:
    enum class Result { Line, End, Bad };

    ListLineReader(const char* data, std::size_t size);

    // Next line into `line`, with its line feed kept as a text-mode read keeps
    // it. Bad: longer than 78 characters, or it holds a NUL byte.
    Result Next(char (&line)[kListLineSize]);

private:
    const char* Data;
    std::size_t Size;
    std::size_t Position = 0;
};

// The count line: a decimal number at its start ("%d"). False when the line
// does not start with a number, or the number is negative or absurd.
bool ParseListCount(const char* line, long& count);
constexpr long kMaxListCount = 9999;

// One entry line, as the expander uses it.
struct ListEntry {
    std::string Name;      // what is joined to the directories: the installed name
    bool Titled = false;   // a ".EXE" name followed by spaces
    std::string Title;     // the program item title (may be empty)
};

// Parses one entry line (with or without its line break). False for a line
// that is empty or blank, or does not start with a name, or whose installed
// name could land outside the destination (see IsSafeInstalledName), or whose
// title holds a control character or a double quote.
bool ParseListEntry(char (&line)[kListLineSize], ListEntry& entry);

// Whether an installed name from a list stays a file inside the directory it
// is joined to: relative (no leading separator, no drive colon anywhere), no
// element that is empty or names the current or parent directory (trailing
// dots and spaces, which Windows drops, do not hide one), none of the
// characters Windows forbids in file names, no byte from 0x80 up (the disks
// hold 8.3 names in ASCII), and no element that is a device (CON, PRN, AUX,
// NUL, CONIN$, CONOUT$, CLOCK$, COM1-9, LPT1-9, with or without an extension),
// and none that is one of the installer's scratch names (ScratchName.h);
// short enough to make a path even after a drive's root (a record's names
// are not cut to a list's line). A backslash between elements names a
// subfolder of the destination.
bool IsSafeInstalledName(const std::string& name);
bool IsSafeInstalledName(const char* begin, const char* end);

// The compressed file's name for an installed name or path: its last
// character replaced by '_'. Unchanged when empty.
std::string CompressedName(const std::string& installed);

// Reads a whole list file into memory. A list file is a few hundred short
// lines at most; one over kMaxListFileBytes is not one. It and ReadListPlan
// read the disk: engine/ListFileLoad.cpp on Windows (the native tools bring
// their own LoadListFile); everything else here is plain.
enum class ListLoadResult { Loaded, NotFound, Unreadable };
constexpr long kMaxListFileBytes = 1 << 20;
ListLoadResult LoadListFile(const char* path, std::vector<char>& contents);
// The same of a file open for reading (a platform file handle), of at most
// `maxBytes`.
ListLoadResult ReadListFile(void* file, std::vector<char>& contents, std::size_t maxBytes = kMaxListFileBytes);

// What a file must expand to, where its disk says so (ChecksumList.h).
struct ExpectedContents {
    bool Known = false;
    std::uint32_t Crc = 0;   // CRC-32 of the expanded bytes
    std::uint32_t Size = 0;  // their number
};

// A list file read whole and checked before anything of it is written: each
// entry's installed name in list order, and the titled entries in line order.
// A planned file's paths are its name after the plan's directories, kept
// once for the whole list: an 8.3 name fits in the string itself, so a plan
// of a few hundred files allocates its vector, not two paths per file.
struct PlannedFile {
    std::string Name;  // the installed name as listed
    ExpectedContents Expected;
};

struct ListPlan {
    std::vector<PlannedFile> Files;
    std::vector<ListEntry> Items;  // the titled entries
    std::string Refused;           // the name a DestinationTooLong, DestinationIsSource or BadChecksumList is about
    std::string SourceFolder;      // the source directory, ready for a name to follow
    std::string DestinationFolder; // the same for the destination directory

    // The compressed file's path, its last character '_'.
    std::string SourceOf(const PlannedFile& file) const { return CompressedName(SourceFolder + file.Name); }
    // The installed file's path.
    std::string DestinationOf(const PlannedFile& file) const { return DestinationFolder + file.Name; }
};

enum class ListFault {
    None,
    NotFound,            // no list file of that name
    Unreadable,          // there, but not readable whole
    BadCount,            // no count line, or no count in it
    BadEntry,            // fewer entry lines than the count, or one that cannot be installed
    DestinationTooLong,  // an installed path the platform's expander cannot open
    DestinationIsSource, // an installed path that is its own compressed file (case ignored)
    BadChecksumList,     // the disk's checksum list unreadable, malformed, or silent on a listed file
    BadSizeList,         // the set's size list silent on a listed file
};

// The platform's LZOpenFileA takes paths of at most this many characters (its
// OFSTRUCT holds 128 with the terminator).
constexpr std::size_t kLzMaxPathLength = 127;

// Whether two folders (each ready for a name to follow) are one. Without
// such a test their texts are compared, case ignored.
using SameFolderTest = bool (*)(const std::string& first, const std::string& second);

// Reads the list `listName` in `sourceDir` for expansion into `destDir`. An
// installed name longer than `maxNameLength` is a bad entry. On a fault the
// plan holds nothing to expand.
ListFault ReadListPlan(const char* sourceDir, const char* listName, const char* destDir, std::size_t maxNameLength,
                       ListPlan& plan, SameFolderTest sameFolder = nullptr);
// The same for a list already in memory.
ListFault PlanListContents(const char* data, std::size_t size, const char* sourceDir, const char* destDir,
                           std::size_t maxNameLength, ListPlan& plan, SameFolderTest sameFolder = nullptr);

// A list fault's report text; its detail is the list's name, or for a path
// too long or one that is its own source the installed name, for a bad
// checksum list its name (ListPlan::Refused).
struct ListFaultReport {
    int Message;
    bool NamesList;
};
ListFaultReport ListFaultReportFor(ListFault fault);
