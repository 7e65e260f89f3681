// Drives the path and text helpers with directories and names around the
// 259-character path limit and with long runs of spaces.
//
// Input: byte 0 pads the directory and byte 1 the name with that many
// characters; bytes 2 and 3 put four times that many spaces before and after
// the text that is trimmed. The rest is split at its first two NUL bytes into
// the directory's start, the name's start and the text.
#include "shell/plain/PathHelpers.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {
void Check(bool condition, const char* what)
{
    if (!condition) {
        std::fprintf(stderr, "check failed: %s\n", what);
        std::abort();
    }
}

std::string Field(const std::uint8_t*& data, const std::uint8_t* end)
{
    const std::uint8_t* stop = std::find(data, end, 0);
    std::string field(reinterpret_cast<const char*>(data), stop - data);
    data = stop == end ? end : stop + 1;
    return field;
}

// A C string in a heap block of exactly its size, so that any access beyond
// either end is caught.
std::vector<char> Exact(const std::string& text)
{
    return std::vector<char>(text.c_str(), text.c_str() + text.size() + 1);
}

void CheckJoin(const std::string& directory, const std::string& name)
{
    std::vector<char> dir = Exact(directory);
    std::vector<char> nam = Exact(name);
    std::string expected;
    if (!directory.empty() && directory.back() != '\\')
        expected = directory + "\\" + name;
    else
        expected = directory + name;

    const char* joined = JoinPath(dir.data(), nam.data(), 0);
    if (expected.size() <= kPathSize - 1) {
        Check(joined != nullptr, "a join that fits is made");
        Check(expected == joined, "the join is the directory, one separator and the name");
    } else {
        Check(joined == nullptr, "a join longer than 259 characters is refused");
    }
    if (joined) Check(std::strlen(joined) <= kPathSize - 1, "a joined path has at most 259 characters");
}

void CheckParts(const std::string& text)
{
    std::vector<char> path = Exact(text);
    const char* start = path.data();
    const char* end = start + std::strlen(start);
    const char* name = FileNamePart(start);
    Check(name >= start && name <= end, "the file-name part lies inside the path");
    Check(std::strchr(name, '\\') == nullptr, "no backslash in the file-name part");
    if (std::strchr(start, '\\'))
        Check(name[-1] == '\\', "the file-name part follows the last backslash");
    else if (std::strchr(start, ':'))
        Check(name[-1] == ':' && std::strchr(name, ':') == nullptr, "without a backslash, it follows the last colon");
    else
        Check(name == start, "without either it is the whole path");

    const char* extension = FileExtension(start);
    Check(extension >= name && extension <= end, "the extension lies inside the file-name part");
    Check(*extension == '.' || extension == end, "the extension starts at a dot or is the empty end");
    Check(std::find(name, extension, '.') == extension, "the extension starts at the first dot of the name");
}

void CheckTrim(const std::string& text)
{
    std::vector<char> buffer = Exact(text);
    TrimSpaces(buffer.data());
    std::string visible = text.substr(0, text.find('\0'));
    std::size_t first = visible.find_first_not_of(' ');
    std::string expected = first == std::string::npos ? "" : visible.substr(first, visible.find_last_not_of(' ') - first + 1);
    Check(expected == buffer.data(), "only the spaces at both ends go");
}
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 4) return 0;
    const std::size_t directoryPad = data[0];
    const std::size_t namePad = data[1];
    const std::size_t leading = data[2] * 4u;
    const std::size_t trailing = data[3] * 4u;
    const std::uint8_t* p = data + 4;
    const std::uint8_t* end = data + size;
    std::string directory = Field(p, end);
    std::string name = Field(p, end);
    std::string text(reinterpret_cast<const char*>(p), end - p);

    directory += std::string(directoryPad, 'D');
    name += std::string(namePad, 'n');
    CheckJoin(directory, name);
    CheckJoin(directory + "\\", name);
    CheckJoin(directory.substr(0, 3), name);
    CheckJoin(name, directory);

    CheckParts(directory + "\\" + name);
    CheckParts(text);

    CheckTrim(std::string(leading, ' ') + text + std::string(trailing, ' '));
    CheckTrim(std::string(leading, ' ') + directory + std::string(trailing, ' '));

    // Bounded copies of the padded names into a path buffer.
    std::vector<char> copy(kPathSize);
    CopyBounded(copy.data(), copy.size(), directory.c_str());
    Check(std::strlen(copy.data()) == std::min(directory.size(), kPathSize - 1), "a bounded copy keeps what fits");
    return 0;
}
