#include "engine/plain/ListFile.h"

#include "shell/plain/MessageTable.h"
#include "shell/plain/PathHelpers.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
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
// A title travels into a Program Manager command, where a control character
// has no place and a double quote cannot be carried.
bool IsUsableTitle(const std::string& text)
{
    for (unsigned char c : text)
        if (c < 0x20 || c == '"') return false;
    return true;
}
}

bool ParseListEntry(char (&line)[kListLineSize], ListEntry& entry)
{
    entry = ListEntry();
    line[kListLineSize - 1] = '\0';
    // The line break is still there, so only leading spaces go, unless this is
    // a last line without a break.
    TrimSpaces(line);
    std::size_t length = std::strlen(line);
    if (length > 0 && line[length - 1] == '\n') line[--length] = '\0';
    if (length == 0 || std::isspace(static_cast<unsigned char>(line[0]))) return false;

    std::size_t nameLength = 0;
    while (line[nameLength] && !std::isspace(static_cast<unsigned char>(line[nameLength]))) ++nameLength;
    // The first word's extension, read in place.
    const char following = line[nameLength];
    line[nameLength] = '\0';
    const bool program = strcasecmp(FileExtension(line), ".EXE") == 0;
    line[nameLength] = following;

    if (program) {
        std::size_t p = nameLength;
        std::size_t q = p;
        while (line[q] == ' ') ++q;
        if (q > p) {
            entry.Titled = true;
            entry.Title = line + q;
        }
        line[p] = '\0';
    }
    entry.Name = line;
    if (IsSafeInstalledName(entry.Name) && IsUsableTitle(entry.Title)) return true;
    entry = ListEntry();
    return false;
}

namespace {
// The checks below look at one element [begin, end) of a name in place: a
// list is checked name by name, and nothing is copied for it.
bool IsDeviceName(const char* begin, const char* end)
{
    // The device is the part before the first dot, trailing spaces ignored.
    const char* dot = static_cast<const char*>(std::memchr(begin, '.', static_cast<std::size_t>(end - begin)));
    if (dot) end = dot;
    while (end > begin && end[-1] == ' ') --end;
    const std::size_t length = static_cast<std::size_t>(end - begin);
    static const char* const Devices[] = {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$", "CLOCK$"};
    for (const char* device : Devices)
        if (std::strlen(device) == length && strncasecmp(begin, device, length) == 0) return true;
    if (length == 4 && (strncasecmp(begin, "COM", 3) == 0 || strncasecmp(begin, "LPT", 3) == 0))
        return begin[3] >= '1' && begin[3] <= '9';
    return false;
}

bool IsSafeElement(const char* begin, const char* end)
{
    // Nothing but dots and spaces: empty, ".", "..", "...", ". ".
    const char* meaningful = begin;
    while (meaningful < end && (*meaningful == '.' || *meaningful == ' ')) ++meaningful;
    if (meaningful == end) return false;
    return !IsDeviceName(begin, end);
}
}

bool IsSafeInstalledName(const std::string& name)
{
    if (name.empty() || name[0] == '\\' || name[0] == '/') return false;
    // Plain 8.3 text only: Windows reads some bytes from 0x80 up as digits
    // (B9, B2, B3 as 1 to 3: "COM\xB9" opens the port).
    for (unsigned char c : name) {
        if (c < 0x20 || c >= 0x80) return false;
        switch (c) {
        case ':': case '*': case '?': case '"': case '<': case '>': case '|': return false;
        default: break;
        }
    }
    const char* element = name.data();
    const char* const end = element + name.size();
    for (;;) {
        const char* stop = element;
        while (stop < end && *stop != '\\' && *stop != '/') ++stop;
        if (!IsSafeElement(element, stop)) return false;
        if (stop == end) return true;
        element = stop + 1;
    }
}

std::string CompressedName(const std::string& installed)
{
    std::string compressed = installed;
    if (!compressed.empty()) compressed.back() = '_';
    return compressed;
}

ListLoadResult LoadListFile(const char* path, std::vector<char>& contents)
{
    std::FILE* file = std::fopen(path, "rb");
    if (!file) return ListLoadResult::NotFound;
    ListLoadResult result = ListLoadResult::Loaded;
    long size = std::fseek(file, 0, SEEK_END) == 0 ? std::ftell(file) : -1;
    if (size < 0 || size > kMaxListFileBytes) result = ListLoadResult::Unreadable;
    if (result == ListLoadResult::Loaded) {
        std::rewind(file);
        contents.resize(static_cast<std::size_t>(size));
        if (size > 0 && std::fread(contents.data(), 1, contents.size(), file) != contents.size())
            result = ListLoadResult::Unreadable;
    }
    std::fclose(file);
    return result;
}

ListFault PlanListContents(const char* data, std::size_t size, const char* sourceDir, const char* destDir,
                           std::size_t maxNameLength, ListPlan& plan)
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
    const std::string sourcePrefix = JoinedPath(sourceDir, "");
    const std::string destinationPrefix = JoinedPath(destDir, "");
    // Room for every entry the data can hold, whatever the count says.
    std::size_t lines = 1;
    for (std::size_t at = 0; at < size; ++lines) {
        const void* feed = std::memchr(data + at, '\n', size - at);
        if (!feed) break;
        at = static_cast<std::size_t>(static_cast<const char*>(feed) - data) + 1;
    }
    plan.Files.reserve(std::min<std::size_t>(static_cast<std::size_t>(count), lines));
    for (long i = 0; i < count; ++i) {
        ListEntry entry;
        if (reader.Next(line) != ListLineReader::Result::Line || !ParseListEntry(line, entry) ||
            entry.Name.size() > maxNameLength)
            return refuse(ListFault::BadEntry);
        PlannedFile file{sourcePrefix + entry.Name, destinationPrefix + entry.Name};
        file.Source.back() = '_';  // the compressed name
        if (file.Source.size() >= kPathSize) return refuse(ListFault::BadEntry);
        if (file.Destination.size() > kLzMaxPathLength) {
            plan.Refused = FileNamePart(file.Destination.c_str());
            return refuse(ListFault::DestinationTooLong);
        }
        // Installed from the folder it is installed into, a name ending in
        // '_' is its own compressed file: creating it would empty the source.
        if (strcasecmp(file.Source.c_str(), file.Destination.c_str()) == 0) {
            plan.Refused = FileNamePart(file.Destination.c_str());
            return refuse(ListFault::DestinationIsSource);
        }
        plan.Files.push_back(std::move(file));
        if (entry.Titled) plan.Items.push_back(std::move(entry));
    }
    return ListFault::None;
}

ListFault ReadListPlan(const char* sourceDir, const char* listName, const char* destDir, std::size_t maxNameLength,
                       ListPlan& plan)
{
    plan = ListPlan();
    const std::string listPath = JoinedPath(sourceDir, listName);
    if (listPath.size() >= kPathSize) return ListFault::NotFound;
    std::vector<char> contents;
    ListLoadResult loaded = LoadListFile(listPath.c_str(), contents);
    if (loaded == ListLoadResult::NotFound) return ListFault::NotFound;
    if (loaded == ListLoadResult::Unreadable) return ListFault::Unreadable;
    return PlanListContents(contents.data(), contents.size(), sourceDir, destDir, maxNameLength, plan);
}

ListFaultReport ListFaultReportFor(ListFault fault)
{
    switch (fault) {
    case ListFault::NotFound: return {MsgFileNotFound, true};
    case ListFault::DestinationTooLong: return {MsgFileCreationError, false};
    case ListFault::DestinationIsSource: return {MsgFileCreationError, false};
    default: return {MsgFileReadError, true};
    }
}
