#include "launcher/plain/LaunchPlan.h"

#include "shell/plain/PathHelpers.h"

namespace {
constexpr std::uint32_t Windows95Family = 0x80000000u;

// Appends text at `at` while it fits below `end` (one byte stays for the terminator).
bool Append(char*& at, char* end, const char* text)
{
    for (; *text; ++text) {
        if (at + 1 >= end) return false;
        *at++ = *text;
    }
    return true;
}

bool IsLetter(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

char Upper(char c)
{
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

std::size_t Length(const char* text)
{
    std::size_t length = 0;
    while (text[length]) ++length;
    return length;
}

void HexDigits(std::uint32_t value, int digits, char* out)
{
    static const char Hex[] = "0123456789ABCDEF";
    for (int i = digits - 1; i >= 0; --i, value >>= 4) out[i] = Hex[value & 0xF];
    out[digits] = '\0';
}
}

InstallerBuildChoice ChooseInstallerBuild(std::uint32_t platformVersion)
{
    if (!(platformVersion & Windows95Family)) return InstallerBuildChoice::WindowsNt;
    const unsigned major = platformVersion & 0xFF;
    return major >= 4 ? InstallerBuildChoice::Windows95 : InstallerBuildChoice::Unsupported;
}

const char* InstallerFileName(InstallerBuildChoice choice)
{
    switch (choice) {
    case InstallerBuildChoice::Windows95: return "TSINST95.EXE";
    case InstallerBuildChoice::WindowsNt: return "TSINSTNT.EXE";
    default: return nullptr;
    }
}

const char* EngineFileName(InstallerBuildChoice choice)
{
    switch (choice) {
    case InstallerBuildChoice::Windows95: return "TSINST95.DLL";
    case InstallerBuildChoice::WindowsNt: return "TSINSTNT.DLL";
    default: return nullptr;
    }
}

void ListLaunchFiles(const char* installer, const char* engine, bool windowless,
                     CompanionFile (&files)[LaunchFileCount])
{
    std::size_t count = 0;
    files[count++] = {installer, false};
    bool engineListed = false;
    for (const CompanionFile& companion : CompanionFiles) {
        // The engine goes first of those that come after the window.
        if (companion.AfterMainWindow && !engineListed) {
            files[count++] = {engine, true};
            engineListed = true;
        }
        files[count++] = companion;
    }
    for (CompanionFile& file : files) file.AfterMainWindow = file.AfterMainWindow && !windowless;
}

bool SourceFolderOf(const char* ownPath, char* folder, std::size_t size)
{
    const char* name = FileNamePart(ownPath);
    const std::size_t length = static_cast<std::size_t>(name - ownPath);
    if (length == 0 || length >= size) return false;
    for (std::size_t i = 0; i < length; ++i) folder[i] = ownPath[i];
    folder[length] = '\0';
    return true;
}

namespace {
// A folder as an argument: quoted when it holds a blank.
bool AppendFolder(char*& at, char* end, const char* folder)
{
    bool quoted = false;
    for (const char* c = folder; *c; ++c) quoted = quoted || *c == ' ' || *c == '\t';
    if (!quoted) return Append(at, end, folder);
    return Append(at, end, "\"") && Append(at, end, folder) &&
           // Before the closing quote a backslash must be doubled to stay one.
           (!EndsWithBackslash(folder) || Append(at, end, "\\")) && Append(at, end, "\"");
}
}

bool BuildInstallerCommandLine(const char* installer, const char* sourceFolder, std::uint32_t window, char* line,
                               std::size_t size, const char* then, const char* folder)
{
    if (size == 0) return false;
    char* at = line;
    char* const end = line + size;
    char hex[9];
    HexDigits(window, 8, hex);
    const char* digits = hex;
    while (digits[0] == '0' && digits[1]) ++digits;
    bool fits = Append(at, end, "\"") && Append(at, end, installer) && Append(at, end, "\" ") &&
                AppendFolder(at, end, sourceFolder);
    fits = fits && Append(at, end, " ") && Append(at, end, digits);
    if (then) fits = fits && Append(at, end, " ") && Append(at, end, then);
    if (folder) fits = fits && Append(at, end, " ") && AppendFolder(at, end, folder);
    *at = '\0';
    return fits;
}

void TemporaryFolderName(std::uint32_t number, char* name)
{
    name[0] = 'T';
    name[1] = 'S';
    name[2] = 'W';
    HexDigits(number & 0xFFFFF, 5, name + 3);
    name[8] = '.';
    name[9] = 'T';
    name[10] = 'M';
    name[11] = 'P';
    name[12] = '\0';
}

char DriveLetterOf(const char* path)
{
    return IsLetter(path[0]) && path[1] == ':' && path[2] == '\\' ? Upper(path[0]) : '\0';
}

bool IsDriveRoot(const char* sourceFolder)
{
    return DriveLetterOf(sourceFolder) && !sourceFolder[3];
}

bool FolderStartQuestion(const char* sourceFolder, char* text, std::size_t size)
{
    if (size == 0) return false;
    char folder[kPathSize];
    std::size_t length = Length(sourceFolder);
    if (length == 0 || length >= sizeof folder) return false;
    for (std::size_t i = 0; i <= length; ++i) folder[i] = sourceFolder[i];
    // Shown without its closing backslash, as a folder is named.
    if (EndsWithBackslash(folder)) folder[length - 1] = '\0';
    char drive[] = "drive X:";
    drive[6] = DriveLetterOf(sourceFolder);
    char* at = text;
    char* const end = text + size;
    const bool fits = Append(at, end, "SETUP.EXE was started from ") && Append(at, end, folder) &&
                      Append(at, end, ", which is not the root of a drive.\n\nAn installation will ask for the "
                                      "program disks in the root of ") &&
                      Append(at, end, drive[6] ? drive : "a drive") &&
                      Append(at, end, ". A maintenance update from this folder works as usual.\n\nContinue?");
    *at = '\0';
    return fits;
}

bool HelpFileFitsViewer(const char* folder)
{
    return Length(folder) + 1 + Length(HelpFile) <= kHelpPathLimit;
}

void FillReasonInserts(const char* reason, const char* file, char* text, std::size_t size)
{
    if (size == 0) return;
    char* at = text;
    char* const end = text + size;
    for (const char* c = reason; *c;) {
        if (c[0] == '%' && c[1] >= '1' && c[1] <= '9') {
            const char* number = ++c;
            while (*c >= '0' && *c <= '9') ++c;
            if (*c == '!') {
                const char* close = c + 1;
                while (*close && *close != '!') ++close;
                if (*close) c = close + 1;
            }
            if (number[0] == '1' && !(number[1] >= '0' && number[1] <= '9') && !Append(at, end, file)) break;
            continue;
        }
        if (at + 1 >= end) break;
        *at++ = *c++;
    }
    *at = '\0';
}
