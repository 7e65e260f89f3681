#include "shell/plain/PathHelpers.h"

#include <cstring>

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/stat.h>
#endif

namespace {
char JoinBuffer[kPathSize];
}

bool SystemLeadByte(unsigned char byte)
{
#ifdef _WIN32
    return ::IsDBCSLeadByte(byte) != 0;
#else
    (void)byte;
    return false;
#endif
}

bool EndsWithBackslash(const char* text, LeadByteTest isLead)
{
    // Only a last byte '\\' can be one; whether it is the second byte of a
    // double-byte character takes a walk from the start.
    const std::size_t length = std::strlen(text);
    if (length == 0 || text[length - 1] != '\\') return false;
    const char* last = nullptr;
    for (const char* p = text; *p; p = NextCharacter(p, isLead)) last = p;
    return *last == '\\';
}

const char* FileNamePart(const char* path, LeadByteTest isLead)
{
    const char* slash = nullptr;
    const char* colon = nullptr;
    for (const char* p = path; *p; p = NextCharacter(p, isLead)) {
        if (*p == '\\') slash = p;
        if (*p == ':') colon = p;
    }
    if (slash) return slash + 1;
    if (colon) return colon + 1;
    return path;
}

char* FileNamePart(char* path, LeadByteTest isLead)
{
    return const_cast<char*>(FileNamePart(static_cast<const char*>(path), isLead));
}

const char* FileExtension(const char* path)
{
    const char* name = FileNamePart(path);
    const char* dot = std::strchr(name, '.');
    return dot ? dot : name + std::strlen(name);
}

bool PathExists(const char* path)
{
#ifdef _WIN32
    return ::GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES;
#else
    struct stat info;
    return ::stat(path, &info) == 0;
#endif
}

namespace {
// One backslash goes between a directory and a name unless the directory is
// empty or ends in one. A drive root keeps its backslash: "X:name" would be
// relative to the drive's current directory, outside the tree the user named.
bool NeedsSeparator(const char* directory, LeadByteTest isLead)
{
    return directory[0] != '\0' && !EndsWithBackslash(directory, isLead);
}
}

std::string JoinedPath(const std::string& directory, const std::string& name, LeadByteTest isLead)
{
    std::string joined;
    joined.reserve(directory.size() + 1 + name.size());
    joined += directory;
    if (NeedsSeparator(directory.c_str(), isLead)) joined += '\\';
    joined += name;
    return joined;
}

char* JoinPath(const char* directory, const char* name, int mustExist, LeadByteTest isLead)
{
    // Joined aside first: either part may be the shared buffer itself.
    const std::size_t directoryLength = std::strlen(directory);
    const std::size_t separator = NeedsSeparator(directory, isLead) ? 1 : 0;
    const std::size_t nameLength = std::strlen(name);
    if (directoryLength + separator + nameLength >= kPathSize) {
        JoinBuffer[0] = '\0';
        return nullptr;
    }
    char joined[kPathSize];
    std::memcpy(joined, directory, directoryLength);
    if (separator) joined[directoryLength] = '\\';
    std::memcpy(joined + directoryLength + separator, name, nameLength + 1);
    std::memcpy(JoinBuffer, joined, directoryLength + separator + nameLength + 1);
    if (mustExist && !PathExists(JoinBuffer)) return nullptr;
    return JoinBuffer;
}

void TrimSpaces(char* text)
{
    std::size_t lead = 0;
    while (text[lead] == ' ') ++lead;
    if (lead > 0) std::memmove(text, text + lead, std::strlen(text + lead) + 1);
    std::size_t length = std::strlen(text);
    while (length > 0 && text[length - 1] == ' ') text[--length] = '\0';
}

void UpperCaseAscii(char* text, LeadByteTest isLead)
{
    for (char* p = text; *p; p = const_cast<char*>(NextCharacter(p, isLead))) {
        if (*p >= 'a' && *p <= 'z') *p = static_cast<char>(*p - 'a' + 'A');
    }
}

void CopyBounded(char* destination, std::size_t size, const char* source)
{
    if (size == 0) return;  // no room even for the terminator
    std::size_t length = std::strlen(source);
    if (length >= size) length = size - 1;
    std::memcpy(destination, source, length);
    destination[length] = '\0';
}
