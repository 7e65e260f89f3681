// Reads arbitrary bytes as a disk list file, the way the expander does: the
// count line, then the entries, each joined to a source and a destination
// directory and given its compressed name.
#include "engine/plain/ChecksumList.h"
#include "engine/plain/DiskNames.h"
#include "engine/plain/SizeList.h"
#include "engine/plain/ListFile.h"
#include "engine/plain/InstallRecord.h"
#include "engine/plain/ReplacementRecord.h"
#include "shell/plain/PathHelpers.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <strings.h>
#include <vector>

// The checks are the oracle, not the code under test: they carry no coverage
// instrumentation, so the fuzzer is steered by the list code's own branches
// and compares, and pays nothing for the oracle's.
#define ORACLE __attribute__((no_sanitize("coverage")))

namespace {
ORACLE void Check(bool condition, const char* what)
{
    if (!condition) {
        std::fprintf(stderr, "check failed: %s\n", what);
        std::abort();
    }
}

// The lines a text-mode read yields, worked out independently of the reader:
// the data up to the first Ctrl-Z, split at line feeds, a carriage return
// right before a line feed dropped. Each is a span of the data and whether a
// line feed ended it; a refused one (over 78 characters, or holding a NUL)
// is marked bad. Kept as spans of the input: nothing is copied per line, and
// the data is walked once, byte by byte (the library's scans would each pass
// the sanitizer's checks of their whole range).
struct ExpectedLine {
    const char* Text;
    std::size_t Length;
    bool Feed;
    bool Bad;

    // Whether `line`, as the reader gives it in its buffer, is this line with
    // its line feed, terminated.
    ORACLE bool Matches(const char (&line)[kListLineSize]) const
    {
        const std::size_t end = Length + (Feed ? 1 : 0);
        if (end >= kListLineSize) return false;
        for (std::size_t i = 0; i < Length; ++i)
            if (line[i] != Text[i]) return false;
        return (!Feed || line[Length] == '\n') && line[end] == '\0';
    }
};

ORACLE bool Terminated(const char (&line)[kListLineSize])
{
    for (char c : line)
        if (c == '\0') return true;
    return false;
}

ORACLE void ExpectedLines(const std::uint8_t* data, std::size_t size, std::vector<ExpectedLine>& lines)
{
    lines.clear();
    const char* text = reinterpret_cast<const char*>(data);
    std::size_t start = 0;
    bool nul = false;
    for (std::size_t at = 0; at < size && text[at] != '\x1A'; ++at) {
        if (text[at] == '\0') nul = true;
        if (text[at] != '\n' && at + 1 < size && text[at + 1] != '\x1A') continue;
        const bool feed = text[at] == '\n';
        std::size_t length = at + (feed ? 0 : 1) - start;
        if (feed && length > 0 && text[at - 1] == '\r') --length;
        lines.push_back({text + start, length, feed, length > kListLineMaxLength || nul});
        start = at + 1;
        nul = false;
    }
}

ORACLE void CheckEntry(const ListEntry& entry)
{
    Check(!entry.Name.empty(), "an entry has a name");
    Check(entry.Name.size() <= kListLineMaxLength, "a name fits its line");
    Check(entry.Name.find('\n') == std::string::npos, "the line break is not part of the name");
    Check(entry.Name.find('\0') == std::string::npos, "no NUL in a name");
    for (unsigned char c : entry.Name) Check(c >= 0x20 && c < 0x80, "a name is plain ASCII text");
    for (unsigned char c : entry.Title) Check(c >= 0x20 && c != '"', "no control character or double quote in a title");
    Check(entry.Name[0] != ' ' && !std::isspace(static_cast<unsigned char>(entry.Name[0])),
          "a name starts with a character that is not white space");
    if (entry.Titled) {
        Check(strcasecmp(FileExtension(entry.Name.c_str()), ".EXE") == 0, "only .EXE names are titled");
        for (char c : entry.Name) Check(!std::isspace(static_cast<unsigned char>(c)), "a titled name is one word");
        Check(entry.Name.size() + 1 + entry.Title.size() <= kListLineMaxLength, "name and title fit the line");
        Check(entry.Title.find('\n') == std::string::npos, "no line break in a title");
    } else {
        Check(entry.Title.empty(), "an untitled entry has no title");
    }
}

// Returns the joined destination (the shared join buffer).
ORACLE const char* CheckPaths(const ListEntry& entry, const char* sourceDir, const char* destDir)
{
    const char* joined = JoinPath(sourceDir, entry.Name.c_str(), 0);
    Check(joined != nullptr, "a list name always fits a path");
    std::string source = CompressedName(joined);
    Check(source.size() == std::strlen(joined), "the compressed name keeps the length");
    Check(source.back() == '_', "the compressed name ends in _");
    Check(source.compare(0, source.size() - 1, joined, source.size() - 1) == 0,
          "only the last character changes");
    const char* shown = FileNamePart(source.c_str());
    Check(shown >= source.c_str() && shown <= source.c_str() + source.size(), "the shown name lies in the path");
    char text[80];
    std::snprintf(text, sizeof text, "Expanding %s . . .", shown);
    Check(std::strlen(text) < sizeof text, "the progress text is cut");

    const char* destination = JoinPath(destDir, entry.Name.c_str(), 0);
    Check(destination != nullptr, "a list name always fits a path");
    Check(std::strlen(destination) <= std::strlen(destDir) + 1 + entry.Name.size(), "the join adds one separator at most");
    return destination;
}

// One element of a path: a span of it.
struct Element {
    const char* Text;
    std::size_t Length;
    ORACLE bool operator==(const Element& other) const
    {
        return Length == other.Length && std::memcmp(Text, other.Text, Length) == 0;
    }
};

// The elements of a path as Windows may resolve it, taken pessimistically:
// separators are both slashes, an empty element vanishes, trailing dots and
// spaces of an element are dropped, and an element that is nothing else
// ("..", "...", ". ") removes the one before it. False when that would climb
// above the drive. The elements are spans of `path`.
ORACLE bool ResolvedElements(const char* path, std::vector<Element>& elements)
{
    elements.clear();
    const std::size_t size = std::strlen(path);
    std::size_t start = 0;
    while (start <= size) {
        std::size_t end = start + std::strcspn(path + start, "\\/");
        std::size_t length = end - start;
        bool present = length > 0;
        while (length > 0 && (path[start + length - 1] == '.' || path[start + length - 1] == ' ')) --length;
        if (length > 0) {
            elements.push_back({path + start, length});
        } else if (present) {
            if (elements.size() <= 1) return false;
            elements.pop_back();
        }
        start = end + 1;
    }
    return true;
}

// An accepted name, joined to the destination (whose elements are `base`),
// names a file below it: never the destination itself, its parent, another
// drive, a stream or a device.
ORACLE void CheckStaysInside(const char* joined, const std::vector<Element>& base)
{
    static std::vector<Element> target;
    Check(ResolvedElements(joined, target), "an accepted name never climbs above the drive");
    Check(target.size() > base.size() && std::equal(base.begin(), base.end(), target.begin()),
          "an accepted name stays below its destination");
    Check(std::strpbrk(joined + 2, ":*?\"<>|") == nullptr, "no drive, stream or wildcard after the destination's drive");
    const Element& last = target.back();
    std::size_t length = last.Length;
    if (const void* dot = std::memchr(last.Text, '.', length))
        length = static_cast<std::size_t>(static_cast<const char*>(dot) - last.Text);
    while (length > 0 && last.Text[length - 1] == ' ') --length;
    static const char* const devices[] = {"CON", "PRN", "AUX", "NUL"};
    for (const char* device : devices)
        Check(!(length == 3 && strncasecmp(last.Text, device, 3) == 0), "no device name");
    bool numbered = length == 4 && std::isdigit(static_cast<unsigned char>(last.Text[3])) && last.Text[3] != '0' &&
                    (strncasecmp(last.Text, "COM", 3) == 0 || strncasecmp(last.Text, "LPT", 3) == 0);
    Check(!numbered, "no numbered device name");
}
}

// Whether a line's text comes for the first time in this input: an entry's
// checks depend on nothing but its line, and lists repeat lines. A table of
// line numbers by the text's hash, stamped per input, so nothing is cleared.
class FirstSightings {
public:
    // A line as the reader gives it, read straight into the kept lines.
    struct Line {
        char Text[kListLineSize];
    };

    ORACLE void NextInput() { ++Stamp; }

    ORACLE bool IsFirst(const std::vector<Line>& lines, std::size_t index)
    {
        const char* text = lines[index].Text;
        std::uint32_t hash = 2166136261u;
        for (const char* p = text; *p; ++p) hash = (hash ^ static_cast<unsigned char>(*p)) * 16777619u;
        for (std::size_t slot = hash % kSlots;; slot = (slot + 1) % kSlots) {
            Slot& entry = Slots[slot];
            if (entry.Stamp != Stamp) {
                entry = {Stamp, index};
                return true;
            }
            if (std::strcmp(lines[entry.Index].Text, text) == 0) return false;
        }
    }

private:
    // More than the lines of the longest input, so a free slot is always found.
    static constexpr std::size_t kSlots = 16411;
    struct Slot {
        std::uint64_t Stamp;
        std::size_t Index;
    };
    std::vector<Slot> Slots = std::vector<Slot>(kSlots, Slot{0, 0});
    std::uint64_t Stamp = 0;
};

ORACLE extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static std::vector<ExpectedLine> expected;
    ExpectedLines(data, size, expected);

    // Every line as a text-mode read yields it, a long one refused whole.
    // The lines read are kept for the entries' checks below (a refused one
    // as an empty line).
    using Line = FirstSightings::Line;
    static std::vector<Line> lines;
    lines.clear();
    {
        ListLineReader reader(reinterpret_cast<const char*>(data), size);
        std::size_t n = 0;
        for (;;) {
            char (&line)[kListLineSize] = lines.emplace_back().Text;
            ListLineReader::Result result = reader.Next(line);
            if (result == ListLineReader::Result::End) {
                lines.pop_back();
                break;
            }
            Check(n < expected.size(), "no more lines than the data holds");
            if (result == ListLineReader::Result::Bad) {
                Check(expected[n].Bad, "only an overlong line or one with a NUL is refused");
                line[0] = '\0';
            } else {
                Check(Terminated(line), "the line is terminated");
                Check(!expected[n].Bad && expected[n].Matches(line), "the line reads as a text-mode read gives it");
            }
            ++n;
        }
        Check(n == expected.size(), "every line is read");
    }

    // The expander's own plan, over the list as LoadListFile hands it over:
    // the data alone in its block, and an empty file as an empty vector's
    // null data.
    const char* contents = size > 0 ? reinterpret_cast<const char*>(data) : nullptr;

    // The plan the expander works from: every counted entry, or nothing.
    {
        ListPlan plan;
        ListFault fault = PlanListContents(contents, size, "A:", "C:\\TSW30\\LOOKUP",
                                           kListLineMaxLength, plan);
        if (fault != ListFault::None) Check(plan.Files.empty() && plan.Items.empty(), "a refused list plans nothing");
        for (const PlannedFile& file : plan.Files)
            Check(plan.DestinationOf(file).size() <= kLzMaxPathLength, "every planned destination can be opened");
        Check(plan.Items.size() <= plan.Files.size(), "at most one item per planned file");
    }
    static const char* const lookup = "C:\\TSW30\\LOOKUP";
    static std::vector<Element> lookupElements;
    static const bool lookupResolves = ResolvedElements(lookup, lookupElements);
    Check(lookupResolves, "the destination resolves");

    // The same bytes as an update's record, whose names are moved and
    // removed: every one stays below the installation, whatever it reads as.
    {
        static std::vector<Replacement> recorded;
        static ListEntry named;
        ReadReplacementRecord(contents, size, recorded);
        for (const Replacement& file : recorded) {
            for (const std::string* path : {&file.Fresh, &file.Aside, &file.Installed}) {
                named.Name = *path;
                CheckStaysInside(CheckPaths(named, "A:", lookup), lookupElements);
            }
        }
        // As an installation's record, whose names are removed: each below
        // the installation, and its file lines read whole once written again.
        static InstallRecordContents record, again;
        ReadInstallRecord(contents, size, record);
        static std::string rewritten;
        rewritten = InstallRecordTitle();
        for (const RecordedFile& file : record.Files) {
            rewritten += RecordedFileLine(file);
            named.Name = file.Name;
            CheckStaysInside(CheckPaths(named, "A:", lookup), lookupElements);
        }
        for (const std::string& folder : record.Folders) {
            named.Name = folder == "." ? "A" : folder;
            CheckStaysInside(CheckPaths(named, "A:", lookup), lookupElements);
        }
        Check(ReadInstallRecord(rewritten.data(), rewritten.size(), again) && again.Files.size() == record.Files.size(),
              "a record's file lines read whole once written again");
        // Written afresh with its notes, it reads whole and names the same files.
        rewritten = KeptRecordText(contents, size, size / 2);
        Check(ReadInstallRecord(rewritten.data(), rewritten.size(), again) && again.Files.size() == record.Files.size(),
              "a record written afresh reads whole and keeps its file lines");
        // And as a disk's checksum list, taken only when it names every planned file.
        static ListPlan plan;
        static const std::string list = "2\r\nTSW.EXE\r\nSUB\\A.TXT\r\n";
        PlanListContents(list.data(), list.size(), "A:\\LOOKUP", lookup, kListLineMaxLength, plan);
        if (ApplyChecksumList(contents, size, "LOOKUP\\", plan))
            for (const PlannedFile& file : plan.Files)
                Check(file.Expected.Known && file.Expected.Size <= kMaxExpandedSize, "every planned file named");
        // And as disk 1's size list: each file of a known list, a name a list may give.
        static SetSizes sizes;
        if (ReadSizeList(contents, size, sizes))
            for (const SizedFile& file : sizes.Files)
                Check(ListFileName(file.List) && file.Size <= kMaxExpandedSize && IsSafeInstalledName(file.Name),
                      "every sized file of a known list");
    }
    // Each entry as the expander parses it, from the lines read above: a real
    // line is never empty.
    char line[kListLineSize];
    long count = -1;
    if (lines.empty() || lines[0].Text[0] == '\0' || !ParseListCount(lines[0].Text, count)) return 0;
    std::memcpy(line, lines[0].Text, kListLineSize);
    Check(count >= 0 && count <= kMaxListCount, "the count is within bounds");
    Check(std::strtol(line, nullptr, 10) == count, "the count reads as %d reads it");

    static FirstSightings sightings;
    static ListEntry entry;
    sightings.NextInput();
    for (long i = 0; i < count; ++i) {
        if (static_cast<std::size_t>(i) + 1 >= lines.size() || lines[i + 1].Text[0] == '\0') return 0;
        // A line checked before in this input passed its checks then.
        if (!sightings.IsFirst(lines, i + 1)) continue;
        std::memcpy(line, lines[i + 1].Text, kListLineSize);
        char before[kListLineSize];
        std::memcpy(before, line, kListLineSize);
        if (!ParseListEntry(line, entry)) {
            const char* first = before + std::strspn(before, " ");
            // Otherwise the name would have left its destination.
            if (*first && !std::isspace(static_cast<unsigned char>(*first))) {
                Check(entry.Name.empty(), "a refused entry leaves no name behind");
            }
            return 0;
        }
        CheckEntry(entry);
        // What the entry must be, worked out from the line as read: leading
        // spaces and the line break go (a last line without its break loses
        // its trailing spaces too); a ".EXE" first word followed by spaces
        // starts a title, any other first word makes the whole line the name.
        char* whole = before + std::strspn(before, " ");
        std::size_t wholeLength = std::strlen(whole);
        if (wholeLength > 0 && whole[wholeLength - 1] == '\n')
            --wholeLength;
        else
            while (wholeLength > 0 && whole[wholeLength - 1] == ' ') --wholeLength;
        whole[wholeLength] = '\0';
        const std::size_t wordEnd = std::strcspn(whole, " \t\n\v\f\r");
        const char following = whole[wordEnd];
        whole[wordEnd] = '\0';
        const bool program = strcasecmp(FileExtension(whole), ".EXE") == 0;
        whole[wordEnd] = following;
        if (program) {
            Check(entry.Name.size() == wordEnd && entry.Name.compare(0, wordEnd, whole, wordEnd) == 0,
                  "a program entry's name is its first word");
            bool spaced = following == ' ';
            Check(entry.Titled == spaced, "a program entry is titled exactly when spaces follow its name");
            const char* title = whole + wordEnd + std::strspn(whole + wordEnd, " ");
            if (spaced) Check(entry.Title == title, "the title is the rest of the line after the spaces");
        } else {
            Check(!entry.Titled && entry.Name == whole, "a plain entry keeps its whole line");
        }
        CheckPaths(entry, "A:\\", "C:\\");
        CheckStaysInside(CheckPaths(entry, "A:", lookup), lookupElements);
    }
    return 0;
}
