#include "engine/plain/InstallRecord.h"

#include "engine/plain/ListFile.h"
#include "shell/plain/FormatText.h"

#include <cstring>
#include <utility>

const char* const kInstallRecordName = "TSW_INST.LOG";
const char* const kRecordedProductName = "Tessaryn 3.0";

namespace {
const char* const Title = "TSW30 INSTALLATION RECORD";
const char* const NotePrefix = "; ";
const char* const ThisFolder = ".";

const char HexDigits[] = "0123456789ABCDEF";

std::string Hex8(std::uint32_t value)
{
    std::string text(8, '0');
    for (int i = 7; i >= 0; --i, value >>= 4) text[static_cast<std::size_t>(i)] = HexDigits[value & 0xF];
    return text;
}

std::string Decimal(std::uint32_t value)
{
    char digits[11];
    std::size_t length = 0;
    do {
        digits[length++] = static_cast<char>('0' + value % 10);
        value /= 10;
    } while (value != 0);
    std::string text;
    while (length > 0) text += digits[--length];
    return text;
}

// "KEYWORD rest": the rest when the line starts with the keyword and one space.
bool After(const std::string& line, const char* keyword, std::string& rest)
{
    const std::size_t length = std::strlen(keyword);
    if (line.size() <= length + 1 || line.compare(0, length, keyword) != 0 || line[length] != ' ') return false;
    rest = line.substr(length + 1);
    return true;
}

// The digits from `text` to `end`, which hold the line's space or its end.
bool ParseHex8(const char* text, const char* end, std::uint32_t& value)
{
    if (end - text != 8) return false;
    value = 0;
    for (; text < end; ++text) {
        const char* digit = *text ? std::strchr(HexDigits, *text) : nullptr;
        if (!digit) return false;
        value = value << 4 | static_cast<std::uint32_t>(digit - HexDigits);
    }
    return true;
}

bool ParseDecimal(const char* text, const char* end, std::uint32_t& value)
{
    if (text == end || end - text > 10) return false;
    std::uint64_t number = 0;
    for (; text < end; ++text) {
        if (*text < '0' || *text > '9') return false;
        number = number * 10 + static_cast<std::uint64_t>(*text - '0');
    }
    if (number > 0x7FFFFFFF) return false;
    value = static_cast<std::uint32_t>(number);
    return true;
}

bool ParseFile(const std::string& rest, RecordedFile& file)
{
    const char* text = rest.c_str();
    const char* first = std::strchr(text, ' ');
    const char* second = first ? std::strchr(first + 1, ' ') : nullptr;
    if (!second) return false;
    file.Name = second + 1;
    return ParseHex8(text, first, file.Crc) && ParseDecimal(first + 1, second, file.Size) &&
           IsSafeInstalledName(file.Name);
}

// Whether the line without its break is `text`'s line (its pieces joined),
// composed in place: a record has a few hundred lines at most.
bool IsLine(const std::string& line, const char* keyword, const char* kind)
{
    char expected[64];
    FormatText(expected, sizeof expected, "%s %s%s", keyword, kind, kRecordedProductName);
    return line == expected;
}

bool ParseLine(const std::string& line, InstallRecordContents& contents)
{
    std::string rest;
    if (After(line, "FOLDER", rest)) {
        if (rest != ThisFolder && !IsSafeInstalledName(rest)) return false;
        contents.Folders.push_back(std::move(rest));
        return true;
    }
    if (After(line, "FILE", rest)) {
        RecordedFile file;
        if (!ParseFile(rest, file)) return false;
        contents.Files.push_back(std::move(file));
        return true;
    }
    if (IsLine(line, "GROUP", "PERSONAL ")) return contents.PersonalGroup = true;
    if (IsLine(line, "GROUP", "COMMON ")) return contents.CommonGroup = true;
    if (IsLine(line, "REGISTRY", "")) return contents.Registered = true;
    return false;
}
}

std::string InstallRecordTitle()
{
    return std::string(Title) + "\r\n";
}

std::string RecordedFolderLine(const std::string& folder)
{
    return "FOLDER " + (folder.empty() ? std::string(ThisFolder) : folder) + "\r\n";
}

std::string RecordedFileLine(const RecordedFile& file)
{
    return "FILE " + Hex8(file.Crc) + ' ' + Decimal(file.Size) + ' ' + file.Name + "\r\n";
}

std::string RecordedGroupLine(bool common)
{
    return std::string("GROUP ") + (common ? "COMMON " : "PERSONAL ") + kRecordedProductName + "\r\n";
}

std::string RecordedRegistrationLine()
{
    return std::string("REGISTRY ") + kRecordedProductName + "\r\n";
}

std::string RecordedNote(const std::string& text)
{
    std::string line = NotePrefix + text.substr(0, kInstallRecordLineMax - 2);
    for (char& c : line)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = ' ';
    return line + "\r\n";
}

namespace {
// Each line of a record in memory, as ReadInstallRecord reads it, passing
// `take` each line that reads right after the title (without its break) and
// whether it is a note. True when every byte read right.
template <class Take>
bool WalkRecord(const char* data, std::size_t size, InstallRecordContents& contents, Take take)
{
    contents = InstallRecordContents();
    bool whole = true;
    bool first = true;
    std::size_t position = 0;
    while (position < size) {
        const char* end = static_cast<const char*>(std::memchr(data + position, '\n', size - position));
        // A last line without its break is an append a cut stopped.
        if (!end) return false;
        std::string line(data + position, end);
        position = static_cast<std::size_t>(end - data) + 1;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        const bool fits = line.size() <= kInstallRecordLineMax && line.find('\0') == std::string::npos;
        if (first) {
            first = false;
            if (!fits || line != Title) whole = false;
            else continue;
        }
        if (!fits) {
            whole = false;
            continue;
        }
        if (line.empty()) continue;
        const bool note = line.compare(0, 2, NotePrefix) == 0;
        if (note || ParseLine(line, contents))
            take(line, note);
        else
            whole = false;
    }
    return whole && !first;
}

bool IsRunStart(const std::string& note)
{
    const std::string start = NotePrefix + std::string(kRecordedProductName) + " ";
    return note.compare(0, start.size(), start) == 0;
}
}

bool ReadInstallRecord(const char* data, std::size_t size, InstallRecordContents& contents)
{
    return WalkRecord(data, size, contents, [](const std::string&, bool) {});
}

std::string KeptRecordText(const char* data, std::size_t size, std::size_t notesKept)
{
    struct Line {
        std::string Text;
        bool Note;
    };
    std::vector<Line> lines;
    InstallRecordContents contents;
    WalkRecord(data, size, contents, [&](const std::string& line, bool note) { lines.push_back({line, note}); });
    // The earliest note that still fits, counted from the last one back;
    // then the first run's beginning from there on.
    std::size_t from = lines.size();
    std::size_t noteBytes = 0;
    bool allFit = true;
    for (std::size_t i = lines.size(); i-- > 0;) {
        if (!lines[i].Note) continue;
        noteBytes += lines[i].Text.size() + 2;
        if (noteBytes > notesKept) {
            allFit = false;
            break;
        }
        from = i;
    }
    if (!allFit) {
        std::size_t start = from;
        while (start < lines.size() && !(lines[start].Note && IsRunStart(lines[start].Text))) ++start;
        if (start < lines.size()) from = start;
    } else {
        from = 0;
    }
    std::string text = InstallRecordTitle();
    for (std::size_t i = 0; i < lines.size(); ++i)
        if (!lines[i].Note || i >= from) text += lines[i].Text + "\r\n";
    return text;
}
