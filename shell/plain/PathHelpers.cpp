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

const char* FileNamePart(const char* path)
{
    const char* slash = std::strrchr(path, '\\');
    if (slash) return slash + 1;
    const char* colon = std::strrchr(path, ':');
    if (colon) return colon + 1;
    return path;
}

char* FileNamePart(char* path)
{
    return const_cast<char*>(FileNamePart(static_cast<const char*>(path)));
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

std::string JoinedPath(const std::string& directory, const std::string& name)
{
    // Only a real drive root ("X:\") loses its backslash; "D:X" is a
    // directory like any other.
    if (directory.size() == 3 && directory[1] == ':' && directory[2] == '\\')
        return directory.substr(0, 2) + name;
    if (!directory.empty() && directory.back() != '\\') return directory + '\\' + name;
    return directory + name;
}

char* JoinPath(const char* directory, const char* name, int mustExist)
{
    const std::string joined = JoinedPath(directory, name);
    if (joined.size() >= kPathSize) {
        JoinBuffer[0] = '\0';
        return nullptr;
    }
    std::memcpy(JoinBuffer, joined.c_str(), joined.size() + 1);
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

void UpperCaseAscii(char* text)
{
    for (; *text; ++text) {
        if (*text >= 'a' && *text <= 'z') *text = static_cast<char>(*text - 'a' + 'A');
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
