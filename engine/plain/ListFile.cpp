#include "engine/plain/ListFile.h"

#include "engine/plain/ScratchName.h"
#include "shell/plain/MessageTable.h"
#include "shell/plain/PathHelpers.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <strings.h>

ListLineReader::ListLineReader(const char* data, std::size_t size)
    : Data(data), Size(size)
{
    // A Ctrl-Z ends a text file. An empty file may come without any buffer
    // at all, and memchr must not be given a null pointer even for no bytes.
    const void* eof = Size > 0 ? std::memchr(Data, 0x1A, Size) : nullptr;
    if (eof) Size = static_cast<std::size_t>(static_cast<const char*>(eof) - Data);
}

ListLineReader::Result ListLineReader::Next(char (&line)[kListLineSize])
{
    line[0] = '\0';
    if (Position >= Size) return Result::End;
    const char* start = Data + Position;
    const std::size_t remaining = Size - Position;
    const void* feed = std::memchr(start, '\n', remaining);
    std::size_t length = feed ? static_cast<std::size_t>(static_cast<const char*>(feed) - start) : remaining;
    // The whole line is consumed, also a long one: it never becomes two entries.
    Position += feed ? length + 1 : remaining;
    if (feed && length > 0 && start[length - 1] == '\r') --length;
    if (length > kListLineMaxLength || std::memchr(start, '\0', length)) return Result::Bad;
    std::memcpy(line, start, length);
    if (feed) line[length++] = '\n';
    line[length] = '\0';
    return Result::Line;
}

bool ParseListCount(const char* line, long& count)
{
    const char* p = line;
    while (std::isspace(static_cast<unsigned char>(*p))) ++p;
    bool negative = false;
    if (*p == '+' || *p == '-') negative = (*p++ == '-');
    if (!std::isdigit(static_cast<unsigned char>(*p))) return false;
    long value = 0;
    for (; std::isdigit(static_cast<unsigned char>(*p)); ++p) {
        value = value * 10 + (*p - '0');
        if (value > kMaxListCount) return false;
    }
    if (negative && value != 0) return false;
    count = value;
    return true;
}

namespace {
// The checks below look at a name, or one element [begin, end) of it, in
// place: a list is checked name by name, and nothing is copied for it.

// A title travels into a Program Manager command, where a control character
// has no place and a double quote cannot be carried.
bool IsUsableTitle(const char* begin, const char* end)
{
    for (const char* p = begin; p < end; ++p) {
        const unsigned char c = static_cast<unsigned char>(*p);
        if (c < 0x20 || c == '"') return false;
    }
    return true;
}

bool IsDeviceName(const char* begin, const char* end)
{
    // The device is the part before the first dot, trailing spaces ignored.
    const char* dot = static_cast<const char*>(std::memchr(begin, '.', static_cast<std::size_t>(end - begin)));
    if (dot) end = dot;
    while (end > begin && end[-1] == ' ') --end;
    const std::size_t length = static_cast<std::size_t>(end - begin);
    // A device has 3 to 7 characters; only one of the same length is compared.
    if (length < 3 || length > 7) return false;
    static const struct {
        const char* Name;
        std::size_t Length;
    } Devices[] = {{"CON", 3}, {"PRN", 3}, {"AUX", 3}, {"NUL", 3}, {"CONIN$", 6}, {"CONOUT$", 7}, {"CLOCK$", 6}};
    for (const auto& device : Devices)
        if (device.Length == length && strncasecmp(begin, device.Name, length) == 0) return true;
    if (length == 4 && begin[3] >= '1' && begin[3] <= '9')
        return strncasecmp(begin, "COM", 3) == 0 || strncasecmp(begin, "LPT", 3) == 0;
    return false;
}

bool IsSafeElement(const char* begin, const char* end)
{
    // Nothing but dots and spaces: empty, ".", "..", "...", ". ".
    const char* meaningful = begin;
    while (meaningful < end && (*meaningful == '.' || *meaningful == ' ')) ++meaningful;
    if (meaningful == end) return false;
    // The installer's own scratch files are never installed files.
    return !IsDeviceName(begin, end) && !IsScratchName(begin, end);
}

// What a character of an installed name is to the check below.
enum class NameCharacter : unsigned char { Plain, Separator, Forbidden };

constexpr NameCharacter KindOf(unsigned char c)
{
    // Plain 8.3 text only: Windows reads some bytes from 0x80 up as digits
    // (B9, B2, B3 as 1 to 3: "COM\xB9" opens the port).
    if (c < 0x20 || c >= 0x80) return NameCharacter::Forbidden;
    switch (c) {
    case '\\': case '/': return NameCharacter::Separator;
    case ':': case '*': case '?': case '"': case '<': case '>': case '|': return NameCharacter::Forbidden;
    default: return NameCharacter::Plain;
    }
}

// KindOf for every byte, looked up once per character of a name.
struct NameCharacterTable {
    NameCharacter Kind[256] = {};
    constexpr NameCharacterTable()
    {
        for (int c = 0; c < 256; ++c) Kind[c] = KindOf(static_cast<unsigned char>(c));
    }
};
constexpr NameCharacterTable NameCharacters;

// Whether the word of `length` characters at `word` names a program: its
// extension (from the first dot of its file-name part) is ".EXE". Only a word
// ending so can; the extension is read in place.
bool IsProgramName(char* word, std::size_t length)
{
    if (length < 4 || strncasecmp(word + length - 4, ".EXE", 4) != 0) return false;
    const char following = word[length];
    word[length] = '\0';
    const bool program = strcasecmp(FileExtension(word), ".EXE") == 0;
    word[length] = following;
    return program;
}

bool IsSafeName(const char* begin, const char* end)
{
    // "C:\", the name and its terminator.
    if (end - begin > static_cast<std::ptrdiff_t>(kPathSize - 4)) return false;
    // Each element, between separators, is checked as its end is reached; a
    // leading separator makes an empty first element.
    const char* element = begin;
    for (const char* p = begin;; ++p) {
        const NameCharacter kind =
            p == end ? NameCharacter::Separator : NameCharacters.Kind[static_cast<unsigned char>(*p)];
        if (kind == NameCharacter::Forbidden) return false;
        if (kind == NameCharacter::Plain) continue;
        if (!IsSafeElement(element, p)) return false;
        if (p == end) return true;
        element = p + 1;
    }
}
}

bool ParseListEntry(char (&line)[kListLineSize], ListEntry& entry)
{
    // Emptied, not replaced: a caller filling one entry line after line keeps
    // its strings' room.
    entry.Name.clear();
    entry.Titled = false;
    entry.Title.clear();
    line[kListLineSize - 1] = '\0';
    // Leading and trailing spaces go, then the line break: trailing spaces
    // before a break stay, those of a last line without one do not.
    char* text = line;
    while (*text == ' ') ++text;
    std::size_t length = std::strlen(text);
    while (length > 0 && text[length - 1] == ' ') --length;
    if (length > 0 && text[length - 1] == '\n') --length;
    text[length] = '\0';
    if (length == 0 || std::isspace(static_cast<unsigned char>(text[0]))) return false;

    std::size_t nameLength = 0;
    while (nameLength < length && !std::isspace(static_cast<unsigned char>(text[nameLength]))) ++nameLength;
    const bool program = IsProgramName(text, nameLength);

    // A ".EXE" first word followed by spaces is a titled program entry; any
    // other line is one name, whole.
    const char* title = text + nameLength;
    while (program && *title == ' ') ++title;
    const bool titled = program && title > text + nameLength;
    if (!program) nameLength = length;
    if (!titled) title = text + length;
    if (!IsSafeName(text, text + nameLength) || !IsUsableTitle(title, text + length)) return false;
    entry.Name.assign(text, nameLength);
    entry.Titled = titled;
    entry.Title.assign(title, static_cast<std::size_t>(text + length - title));
    return true;
}

bool IsSafeInstalledName(const std::string& name)
{
    return IsSafeName(name.data(), name.data() + name.size());
}

bool IsSafeInstalledName(const char* begin, const char* end)
{
    return IsSafeName(begin, end);
}

std::string CompressedName(const std::string& installed)
{
    std::string compressed = installed;
    if (!compressed.empty()) compressed.back() = '_';
    return compressed;
}

ListFault PlanListContents(const char* data, std::size_t size, const char* sourceDir, const char* destDir,
                           std::size_t maxNameLength, ListPlan& plan, SameFolderTest sameFolderTest)
{
    plan = ListPlan();
    ListLineReader reader(data, size);
    char line[kListLineSize];
    long count = 0;
    if (reader.Next(line) != ListLineReader::Result::Line || !ParseListCount(line, count)) return ListFault::BadCount;

    // Nothing of a refused list is expanded, and none of its items is kept.
    auto refuse = [&plan](ListFault fault) {
        plan.Files.clear();
        plan.Items.clear();
        return fault;
    };
    // Each entry's paths are its name after the directories as joined once.
    plan.SourceFolder = JoinedPath(sourceDir, "");
    plan.DestinationFolder = JoinedPath(destDir, "");
    // Installed from the folder it is installed into, a name ending in '_' is
    // its own compressed file: creating it would empty the source.
    const bool sameFolder = sameFolderTest ? sameFolderTest(plan.SourceFolder, plan.DestinationFolder)
                                           : strcasecmp(plan.SourceFolder.c_str(), plan.DestinationFolder.c_str()) == 0;
    // Room for every entry the data can hold, whatever the count says.
    const std::size_t lines = static_cast<std::size_t>(std::count(data, data + size, '\n')) + 1;
    plan.Files.reserve(std::min<std::size_t>(static_cast<std::size_t>(count), lines));
    ListEntry entry;
    for (long i = 0; i < count; ++i) {
        if (reader.Next(line) != ListLineReader::Result::Line || !ParseListEntry(line, entry) ||
            entry.Name.size() > maxNameLength)
            return refuse(ListFault::BadEntry);
        if (plan.SourceFolder.size() + entry.Name.size() >= kPathSize) return refuse(ListFault::BadEntry);
        // The folder is empty or ends in a separator: the path's file-name
        // part is the name's.
        if (plan.DestinationFolder.size() + entry.Name.size() > kLzMaxPathLength) {
            plan.Refused = FileNamePart(entry.Name.c_str());
            return refuse(ListFault::DestinationTooLong);
        }
        if (sameFolder && entry.Name.back() == '_') {
            plan.Refused = FileNamePart(entry.Name.c_str());
            return refuse(ListFault::DestinationIsSource);
        }
        plan.Files.push_back({entry.Name, {}});
        if (entry.Titled) plan.Items.push_back(entry);
    }
    return ListFault::None;
}

ListFaultReport ListFaultReportFor(ListFault fault)
{
    switch (fault) {
    case ListFault::NotFound: return {MsgFileNotFound, true};
    case ListFault::DestinationTooLong: return {MsgFileCreationError, false};
    case ListFault::DestinationIsSource: return {MsgFileCreationError, false};
    case ListFault::BadChecksumList:
    case ListFault::BadSizeList: return {MsgFileReadError, false};
    default: return {MsgFileReadError, true};
    }
}
