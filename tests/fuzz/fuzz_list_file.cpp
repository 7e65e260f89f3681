// Reads arbitrary bytes as a disk list file, the way the expander does: the
// count line, then the entries, each joined to a source and a destination
// directory and given its compressed name.
#include "engine/plain/ListFile.h"
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

namespace {
void Check(bool condition, const char* what)
{
    if (!condition) {
        std::fprintf(stderr, "check failed: %s\n", what);
        std::abort();
    }
}

// The lines a text-mode read yields, worked out independently of the reader:
// the data up to the first Ctrl-Z, split at line feeds, a carriage return
// right before a line feed dropped. An empty string stands for a refused line
// (over 78 characters, or holding a NUL); a real line is never empty.
std::vector<std::string> ExpectedLines(const std::uint8_t* data, std::size_t size)
{
    std::string text(reinterpret_cast<const char*>(data), size);
    std::size_t eof = text.find('\x1A');
    if (eof != std::string::npos) text.resize(eof);
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t feed = text.find('\n', start);
        bool hasFeed = feed != std::string::npos;
        std::string line = text.substr(start, (hasFeed ? feed : text.size()) - start);
        if (hasFeed && !line.empty() && line.back() == '\r') line.pop_back();
        bool bad = line.size() > kListLineMaxLength || line.find('\0') != std::string::npos;
        lines.push_back(bad ? std::string() : line + (hasFeed ? "\n" : ""));
        start = hasFeed ? feed + 1 : text.size();
    }
    return lines;
}

void CheckEntry(const ListEntry& entry)
{
    Check(!entry.Name.empty(), "an entry has a name");
    Check(entry.Name.size() <= kListLineMaxLength, "a name fits its line");
    Check(entry.Name.find('\n') == std::string::npos, "the line break is not part of the name");
    Check(entry.Name.find('\0') == std::string::npos, "no NUL in a name");
    for (unsigned char c : entry.Name) Check(c >= 0x20 && c < 0x80, "a name is plain ASCII text");
    for (unsigned char c : entry.Title) Check(c >= 0x20, "no control character in a title");
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

void CheckPaths(const ListEntry& entry, const char* sourceDir, const char* destDir)
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
}

// The elements of a path as Windows may resolve it, taken pessimistically:
// separators are both slashes, an empty element vanishes, trailing dots and
// spaces of an element are dropped, and an element that is nothing else
// ("..", "...", ". ") removes the one before it. False when that would climb
// above the drive.
bool ResolvedElements(const std::string& path, std::vector<std::string>& elements)
{
    std::size_t start = 0;
    while (start <= path.size()) {
        std::size_t end = std::min(path.find_first_of("\\/", start), path.size());
        std::string element = path.substr(start, end - start);
        bool present = !element.empty();
        while (!element.empty() && (element.back() == '.' || element.back() == ' ')) element.pop_back();
        if (!element.empty()) {
            elements.push_back(element);
        } else if (present) {
            if (elements.size() <= 1) return false;
            elements.pop_back();
        }
        start = end + 1;
    }
    return true;
}

// An accepted name, joined to the destination, names a file below it: never
// the destination itself, its parent, another drive, a stream or a device.
void CheckStaysInside(const ListEntry& entry, const char* destDir)
{
    const char* joined = JoinPath(destDir, entry.Name.c_str(), 0);
    Check(joined != nullptr, "a list name always fits a path");
    std::vector<std::string> base;
    std::vector<std::string> target;
    Check(ResolvedElements(destDir, base), "the destination resolves");
    Check(ResolvedElements(joined, target), "an accepted name never climbs above the drive");
    Check(target.size() > base.size() && std::equal(base.begin(), base.end(), target.begin()),
          "an accepted name stays below its destination");
    Check(std::strpbrk(joined + 2, ":*?\"<>|") == nullptr, "no drive, stream or wildcard after the destination's drive");
    std::string last = target.back().substr(0, target.back().find('.'));
    while (!last.empty() && last.back() == ' ') last.pop_back();
    static const char* const devices[] = {"CON", "PRN", "AUX", "NUL"};
    for (const char* device : devices) Check(strcasecmp(last.c_str(), device) != 0, "no device name");
    bool numbered = last.size() == 4 && std::isdigit(static_cast<unsigned char>(last[3])) && last[3] != '0' &&
                    (strncasecmp(last.c_str(), "COM", 3) == 0 || strncasecmp(last.c_str(), "LPT", 3) == 0);
    Check(!numbered, "no numbered device name");
}
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::vector<std::string> expected = ExpectedLines(data, size);

    // Every line as a text-mode read yields it, a long one refused whole.
    {
        ListLineReader reader(reinterpret_cast<const char*>(data), size);
        char line[kListLineSize];
        std::size_t n = 0;
        for (;;) {
            ListLineReader::Result result = reader.Next(line);
            if (result == ListLineReader::Result::End) break;
            Check(n < expected.size(), "no more lines than the data holds");
            if (result == ListLineReader::Result::Bad) {
                Check(expected[n].empty(), "only an overlong line or one with a NUL is refused");
            } else {
                Check(std::memchr(line, 0, kListLineSize) != nullptr, "the line is terminated");
                Check(expected[n] == line, "the line reads as a text-mode read gives it");
            }
            ++n;
        }
        Check(n == expected.size(), "every line is read");
    }

    // The expander's own loop, over the list as it loads it (an empty file
    // gives an empty vector).
    const std::vector<char> contents(data, data + size);

    // The plan the expander works from: every counted entry, or nothing.
    {
        ListPlan plan;
        ListFault fault = PlanListContents(contents.data(), contents.size(), "A:", "C:\\TSW30\\LOOKUP",
                                           kListLineMaxLength, plan);
        if (fault != ListFault::None) Check(plan.Files.empty() && plan.Items.empty(), "a refused list plans nothing");
        for (const PlannedFile& file : plan.Files)
            Check(file.Destination.size() <= kLzMaxPathLength, "every planned destination can be opened");
        Check(plan.Items.size() <= plan.Files.size(), "at most one item per planned file");
    }
    ListLineReader reader(contents.data(), contents.size());
    char line[kListLineSize];
    long count = -1;
    if (reader.Next(line) != ListLineReader::Result::Line || !ParseListCount(line, count)) return 0;
    Check(count >= 0 && count <= kMaxListCount, "the count is within bounds");
    Check(std::strtol(line, nullptr, 10) == count, "the count reads as %d reads it");

    for (long i = 0; i < count; ++i) {
        if (reader.Next(line) != ListLineReader::Result::Line) return 0;
        ListEntry entry;
        std::string before = line;
        if (!ParseListEntry(line, entry)) {
            std::size_t first = before.find_first_not_of(" ");
            // Otherwise the name would have left its destination.
            if (first != std::string::npos && !std::isspace(static_cast<unsigned char>(before[first]))) {
                Check(entry.Name.empty(), "a refused entry leaves no name behind");
            }
            return 0;
        }
        CheckEntry(entry);
        // What the entry must be, worked out from the line as read: leading
        // spaces and the line break go (a last line without its break loses
        // its trailing spaces too); a ".EXE" first word followed by spaces
        // starts a title, any other first word makes the whole line the name.
        std::string whole = before.substr(before.find_first_not_of(' '));
        if (!whole.empty() && whole.back() == '\n')
            whole.pop_back();
        else
            while (!whole.empty() && whole.back() == ' ') whole.pop_back();
        std::size_t wordEnd = std::min(whole.find_first_of(" \t\n\v\f\r"), whole.size());
        std::string word = whole.substr(0, wordEnd);
        if (strcasecmp(FileExtension(word.c_str()), ".EXE") == 0) {
            Check(entry.Name == word, "a program entry's name is its first word");
            bool spaced = wordEnd < whole.size() && whole[wordEnd] == ' ';
            Check(entry.Titled == spaced, "a program entry is titled exactly when spaces follow its name");
            std::size_t titleStart = std::min(whole.find_first_not_of(' ', wordEnd), whole.size());
            if (spaced) Check(entry.Title == whole.substr(titleStart), "the title is the rest of the line after the spaces");
        } else {
            Check(!entry.Titled && entry.Name == whole, "a plain entry keeps its whole line");
        }
        CheckPaths(entry, "A:", "C:\\TSW30\\LOOKUP");
        CheckPaths(entry, "A:\\", "C:\\");
        CheckStaysInside(entry, "C:\\TSW30\\LOOKUP");
    }
    return 0;
}
