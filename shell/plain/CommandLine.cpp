#include "shell/plain/CommandLine.h"

#include "shell/plain/PathHelpers.h"

#include <cctype>
#include <cstring>

void DeriveProgramDirectory(char* directory, std::size_t size, const char* programPath)
{
    CopyBounded(directory, size, programPath);
    *FileNamePart(directory) = '\0';
    if (EndsWithBackslash(directory)) directory[std::strlen(directory) - 1] = '\0';
}

bool ParseWindowArgument(const char* text, std::uint16_t& window)
{
    // "%lx": optional white space, optional sign, optional 0x, hex digits.
    const char* p = text;
    while (std::isspace(static_cast<unsigned char>(*p))) ++p;
    bool negative = false;
    if (*p == '+' || *p == '-') negative = (*p++ == '-');
    if (p[0] == '0' && (p[1] == 'x' || p[1] == 'X') && std::isxdigit(static_cast<unsigned char>(p[2]))) p += 2;
    if (!std::isxdigit(static_cast<unsigned char>(*p))) return false;
    std::uint32_t value = 0;
    for (; std::isxdigit(static_cast<unsigned char>(*p)); ++p) {
        int c = std::tolower(static_cast<unsigned char>(*p));
        value = value * 16 + static_cast<std::uint32_t>(c <= '9' ? c - '0' : c - 'a' + 10);
    }
    if (negative) value = 0u - value;
    window = static_cast<std::uint16_t>(value & 0xFFFFu);
    return true;
}

bool EqualsIgnoringCase(const char* text, const char* other)
{
    for (;; ++text, ++other) {
        if (std::tolower(static_cast<unsigned char>(*text)) != std::tolower(static_cast<unsigned char>(*other)))
            return false;
        if (!*text) return true;
    }
}

LaunchArguments ParseLaunchArguments(int argc, char* argv[])
{
    LaunchArguments args;
    DeriveProgramDirectory(args.ProgramDirectory, sizeof args.ProgramDirectory,
                           argc > 0 && argv[0] ? argv[0] : "");
    if (argc < 3) return args;
    args.Complete = true;
    TrimSpaces(argv[1]);
    args.SourceDrive[0] = argv[1][0];
    args.SourceDrive[1] = '\0';
    args.HasLauncherWindow = ParseWindowArgument(argv[2], args.LauncherWindow);
    args.Source = argv[1];
    args.Unattended = argc > 3 && EqualsIgnoringCase(argv[3], kUnattendedArgument);
    args.Point = argc > 3 && EqualsIgnoringCase(argv[3], kPointArgument);
    if (args.Point && argc > 4 && argv[4][0]) args.PointFolder = argv[4];
    return args;
}

namespace {
// Values that name no single window: no window at all, HWND_BROADCAST, and
// all bits set, which the window manager takes as a broadcast too.
bool NamesOneWindow(std::uint32_t value)
{
    return value != 0 && value != 0xFFFFu && value != 0xFFFFFFFFu;
}
}

NotificationTargets FinishingNotificationTargets(std::uint16_t launcherWindow, bool ntBuild)
{
    NotificationTargets targets;
    const std::uint32_t forms[] = {launcherWindow, 0xFFFF0000u | launcherWindow};
    for (std::uint32_t value : forms) {
        if (value == launcherWindow && ntBuild) continue;  // the NT build uses the full form only
        if (NamesOneWindow(value)) targets.Handles[targets.Count++] = value;
    }
    return targets;
}

namespace {
bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

// The program name is a file name: no backslash rules.
const char* CopyProgramName(const char* p, char*& out)
{
    if (*p == '"') {
        for (++p; *p && *p != '"'; ++p) *out++ = *p;
        if (*p == '"') ++p;
    } else {
        for (; *p && !IsBlank(*p); ++p) *out++ = *p;
    }
    *out++ = '\0';
    return p;
}

const char* CopyArgument(const char* p, char*& out, LeadByteTest isLead)
{
    bool quoted = false;
    for (;;) {
        std::size_t slashes = 0;
        while (*p == '\\') {
            ++p;
            ++slashes;
        }
        bool copy = true;
        if (*p == '"') {
            if (slashes % 2 == 0) {
                if (quoted && p[1] == '"') {
                    ++p;
                } else {
                    copy = false;
                    quoted = !quoted;
                }
            }
            slashes /= 2;
        }
        while (slashes--) *out++ = '\\';
        if (*p == '\0' || (!quoted && IsBlank(*p))) break;
        if (copy) {
            // A double-byte character goes whole: its second byte may be a
            // backslash (0x5C), which escapes nothing.
            const char* next = NextCharacter(p, isLead);
            while (p < next) *out++ = *p++;
        } else {
            ++p;
        }
    }
    *out++ = '\0';
    return p;
}
}

// Every argument but the first takes at least two characters of the line.
std::size_t CommandLineArgumentSlots(std::size_t lineLength)
{
    return lineLength / 2 + 2;
}

int SplitCommandLine(const char* line, char** argv, char* text, LeadByteTest isLead)
{
    int argc = 0;
    argv[argc++] = text;
    const char* p = CopyProgramName(line, text);
    for (;;) {
        while (IsBlank(*p)) ++p;
        if (*p == '\0') break;
        argv[argc++] = text;
        p = CopyArgument(p, text, isLead);
    }
    argv[argc] = nullptr;
    return argc;
}
