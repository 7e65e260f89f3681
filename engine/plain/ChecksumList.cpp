#include "engine/plain/ChecksumList.h"

#include "shell/plain/PathHelpers.h"

#include <cstring>
#include <vector>

const char* const kChecksumListName = "CHECKSUM.LST";

namespace {
int HexDigit(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

char Upper(char c)
{
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

// Names on a disk are plain ASCII (IsSafeInstalledName): compared as such.
bool SameIgnoringCase(const char* first, const char* second, std::size_t length)
{
    for (std::size_t i = 0; i < length; ++i)
        if (Upper(first[i]) != Upper(second[i])) return false;
    return true;
}

// Whether `name` is the compressed form of `installed`: the same but for
// its last character, '_'.
bool IsCompressedFormOf(const char* name, std::size_t length, const std::string& installed)
{
    return length == installed.size() && length > 0 && name[length - 1] == '_' &&
           SameIgnoringCase(name, installed.data(), length - 1);
}
}

bool ParseChecksumLine(char (&line)[kListLineSize], ChecksumLine& parsed)
{
    line[kListLineSize - 1] = '\0';
    std::size_t length = std::strlen(line);
    if (length > 0 && line[length - 1] == '\n') line[--length] = '\0';
    const char* p = line;
    std::uint32_t crc = 0;
    for (int i = 0; i < 8; ++i, ++p) {
        const int digit = HexDigit(*p);
        if (digit < 0) return false;
        crc = crc << 4 | static_cast<std::uint32_t>(digit);
    }
    if (*p++ != ' ') return false;
    const char* digits = p;
    std::uint32_t size = 0;
    for (; *p >= '0' && *p <= '9'; ++p) {
        const std::uint32_t digit = static_cast<std::uint32_t>(*p - '0');
        if (size > (kMaxExpandedSize - digit) / 10) return false;
        size = size * 10 + digit;
    }
    if (p == digits || *p++ != ' ') return false;
    if (!IsSafeInstalledName(p, line + length)) return false;
    parsed = {crc, size, p};
    return true;
}

bool ApplyChecksumList(const char* data, std::size_t size, const char* folderOnDisk, ListPlan& plan)
{
    const std::size_t folderLength = std::strlen(folderOnDisk);
    ListLineReader reader(data, size);
    char line[kListLineSize];
    ChecksumLine parsed;
    for (;;) {
        const ListLineReader::Result result = reader.Next(line);
        if (result == ListLineReader::Result::End) break;
        if (result == ListLineReader::Result::Bad || !ParseChecksumLine(line, parsed)) return false;
        const std::size_t length = std::strlen(parsed.Name);
        if (length < folderLength || !SameIgnoringCase(parsed.Name, folderOnDisk, folderLength)) continue;
        const char* name = parsed.Name + folderLength;
        for (PlannedFile& file : plan.Files) {
            if (!IsCompressedFormOf(name, length - folderLength, file.Name)) continue;
            if (file.Expected.Known) return false;
            file.Expected = {true, parsed.Crc, parsed.Size};
        }
    }
    for (const PlannedFile& file : plan.Files)
        if (!file.Expected.Known) return false;
    return true;
}

ListFault ApplyDiskChecksums(const std::string& root, ListLoadResult loaded, const std::vector<char>& contents,
                             ListPlan& plan)
{
    // A disk made before the list was written is installed as it stands;
    // one that has a list it cannot read is not.
    if (loaded == ListLoadResult::NotFound && !PathExists((root + kChecksumListName).c_str())) return ListFault::None;
    const bool below = plan.SourceFolder.size() >= root.size() &&
                       SameIgnoringCase(plan.SourceFolder.data(), root.data(), root.size());
    const char* folderOnDisk = below ? plan.SourceFolder.c_str() + root.size() : "";
    if (loaded == ListLoadResult::Loaded && ApplyChecksumList(contents.data(), contents.size(), folderOnDisk, plan))
        return ListFault::None;
    plan.Refused = kChecksumListName;
    return ListFault::BadChecksumList;
}
