#include "engine/plain/DeletionAtStart.h"

#include "shell/plain/FormatText.h"

#include <cstring>

namespace {
const char RenameSection[] = "[rename]";

char Upper(char c)
{
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

bool SamePrefix(const char* a, const char* b, std::size_t length)
{
    for (std::size_t i = 0; i < length; ++i)
        if (Upper(a[i]) != Upper(b[i])) return false;
    return true;
}

// Walks WININIT.INI's lines: for each, where it starts and ends, its length
// without the line end and blanks after it, and whether it is a section's
// header or a line of a [rename] section.
struct IniLines {
    const char* Text;
    std::size_t Size;
    std::size_t Start = 0;
    std::size_t Length = 0;
    std::size_t Next = 0;
    bool Header = false;
    bool InRename = false;

    IniLines(const char* text, std::size_t size) : Text(text), Size(size) {}

    bool Step()
    {
        if (Next >= Size) return false;
        Start = Next;
        std::size_t end = Start;
        while (end < Size && Text[end] != '\n') ++end;
        Length = end - Start;
        while (Length > 0 && (Text[Start + Length - 1] == '\r' || Text[Start + Length - 1] == ' ')) --Length;
        Next = end < Size ? end + 1 : end;
        Header = Length > 0 && Text[Start] == '[';
        if (Header) InRename = Length == sizeof RenameSection - 1 && SamePrefix(Text + Start, RenameSection, Length);
        return true;
    }
    // The line is `line` (any case) in a [rename] section.
    bool Is(const char* line, std::size_t length) const
    {
        return InRename && !Header && Length == length && SamePrefix(Text + Start, line, length);
    }
};

std::size_t DeletionLine(const char* shortPath, char* line, std::size_t size)
{
    FormatText(line, size, "NUL=%s", shortPath);
    return std::strlen(line);
}
}

std::size_t WithDeletionAtStart(const char* text, std::size_t size, const char* shortPath, char* out)
{
    char line[kWininitGrowth - sizeof RenameSection - 8];
    const std::size_t lineLength = DeletionLine(shortPath, line, sizeof line);
    // The line goes into the first [rename] section, where the lines start.
    std::size_t section = size + 1;
    IniLines lines(text, size);
    while (lines.Step()) {
        if (lines.Header && section <= size) break;
        if (lines.Header && lines.InRename) section = lines.Next;
        if (lines.Is(line, lineLength)) {
            std::memcpy(out, text, size);
            return size;
        }
    }
    std::size_t length = 0;
    const auto put = [&](const char* bytes, std::size_t count) {
        std::memcpy(out + length, bytes, count);
        length += count;
    };
    const bool newSection = section > size;
    const std::size_t split = newSection ? size : section;
    put(text, split);
    if (split > 0 && text[split - 1] != '\n') put("\r\n", 2);
    if (newSection) {
        put(RenameSection, sizeof RenameSection - 1);
        put("\r\n", 2);
    }
    put(line, lineLength);
    put("\r\n", 2);
    put(text + split, size - split);
    return length;
}

std::size_t WithoutDeletionAtStart(const char* text, std::size_t size, const char* shortPath, char* out)
{
    char line[kWininitGrowth];
    const std::size_t lineLength = DeletionLine(shortPath, line, sizeof line);
    std::size_t length = 0;
    IniLines lines(text, size);
    std::size_t copied = 0;
    while (lines.Step()) {
        if (!lines.Is(line, lineLength)) continue;
        std::memcpy(out + length, text + copied, lines.Start - copied);
        length += lines.Start - copied;
        copied = lines.Next;
    }
    std::memcpy(out + length, text + copied, size - copied);
    return length + size - copied;
}

std::size_t WithoutPendingDeletions(const char* names, std::size_t size, TakenPath taken, void* context, char* out)
{
    std::memcpy(out, names, size);
    // Whole pairs of NUL-ended names, then the list's own closing NUL(s).
    std::size_t length = 0;
    std::size_t at = 0;
    while (at < size && names[at]) {
        const char* first = names + at;
        const void* firstEnd = std::memchr(first, '\0', size - at);
        if (!firstEnd) return size;
        const std::size_t second = static_cast<const char*>(firstEnd) - names + 1;
        const void* secondEnd = second < size ? std::memchr(names + second, '\0', size - second) : nullptr;
        if (!secondEnd) return size;
        const std::size_t next = static_cast<const char*>(secondEnd) - names + 1;
        const bool prefixed = second - at > 4 && std::memcmp(first, "\\??\\", 4) == 0;
        const char* path = prefixed ? first + 4 : first;
        if (names[second] || !taken(path, context)) {
            std::memcpy(out + length, first, next - at);
            length += next - at;
        }
        at = next;
    }
    std::memcpy(out + length, names + at, size - at);
    return length + size - at;
}
