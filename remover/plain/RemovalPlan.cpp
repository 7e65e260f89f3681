#include "remover/plain/RemovalPlan.h"

#include "engine/plain/RemovalRegistration.h"
#include "shell/plain/FormatText.h"

#include <cstring>

const char* const kRemovalTitle = "Tessaryn 3.0 Removal";

namespace {
char Upper(char c)
{
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

// The first `length` characters of each are the same without regard to case.
bool SamePrefix(const char* a, const char* b, std::size_t length)
{
    for (std::size_t i = 0; i < length; ++i)
        if (Upper(a[i]) != Upper(b[i])) return false;
    return true;
}

// By KeptReason.
const char* const KeptWhy[] = {"changed since it was installed", "not installed by Tessaryn 3.0",
                               "could not be removed"};

// Appends to the text in `text` (of `size` bytes), cut to fit.
void Add(char* text, std::size_t size, const char* format, const char* a = nullptr, const char* b = nullptr)
{
    const std::size_t length = std::strlen(text);
    FormatText(text + length, size - length, format, a, b);
}

const char* Plural(unsigned count)
{
    return count == 1 ? "" : "s";
}
}

bool SameName(const char* a, const char* b)
{
    const std::size_t length = std::strlen(a);
    return length == std::strlen(b) && SamePrefix(a, b, length);
}

bool FirstLineOfFile(const InstallRecordContents& record, std::size_t index)
{
    for (std::size_t i = 0; i < index; ++i)
        if (SameName(record.Files[i].Name.c_str(), record.Files[index].Name.c_str())) return false;
    return true;
}

bool IsInstalledVersion(const InstallRecordContents& record, const char* name, std::uint32_t size,
                        std::uint32_t crc)
{
    for (const RecordedFile& file : record.Files)
        if (SameName(file.Name.c_str(), name) && file.Size == size && file.Crc == crc) return true;
    return false;
}

std::size_t FolderDepth(const char* folder)
{
    if (folder[0] == '.' && !folder[1]) return 0;
    std::size_t depth = 1;
    for (; *folder; ++folder) depth += *folder == '\\';
    return depth;
}

bool FirstLineOfFolder(const InstallRecordContents& record, std::size_t index)
{
    for (std::size_t i = 0; i < index; ++i)
        if (SameName(record.Folders[i].c_str(), record.Folders[index].c_str())) return false;
    return true;
}

bool InstalledFolderItself(const InstallRecordContents& record)
{
    return RecordedFolderName(record, ".");
}

bool RecordedFolderName(const InstallRecordContents& record, const char* name)
{
    for (const std::string& folder : record.Folders)
        if (SameName(folder.c_str(), name)) return true;
    return false;
}

bool RecordedFileName(const InstallRecordContents& record, const char* name)
{
    for (const RecordedFile& file : record.Files)
        if (SameName(file.Name.c_str(), name)) return true;
    return false;
}

const char* DeleteGroupCommand(bool common)
{
    return common ? "[DeleteGroup(Tessaryn 3.0,1)]" : "[DeleteGroup(Tessaryn 3.0)]";
}

bool OnlyItemsOf(const char* contents, const char* folder)
{
    // Past the group's line, each line up to its end: the title and the
    // command line come first in it.
    const char* line = std::strchr(contents, '\n');
    while (line && *++line) {
        const char* end = std::strchr(line, '\n');
        if (!end) end = line + std::strlen(line);
        bool ours = false;
        const std::size_t length = std::strlen(folder);
        for (const char* at = line; at + length < end; ++at)
            ours |= length && (at[-1] == ' ' || at[-1] == '"') && SamePrefix(at, folder, length) &&
                    at[length] == '\\';
        if (!ours) return false;
        line = *end ? end : nullptr;
    }
    return true;
}

void RemovalQuestion(const char* folder, char* text, std::size_t size)
{
    FormatText(text, size,
               "Remove Tessaryn 3.0 and all of its components from %s?\n\nYour own files and those you changed are "
               "kept.",
               folder);
}

void RemovalOutcome::Keep(const char* folder, const char* name, KeptReason reason, bool isFolder)
{
    if (reason == KeptReason::Undeletable) Undeletable = true;
    if (reason == KeptReason::Changed) ChangedKept = true;
    if (KeptCount < NamesShown) {
        Kept& kept = KeptFiles[KeptCount];
        FormatText(kept.Name, sizeof kept.Name, "%s%s%s%s", folder, *folder ? "\\" : "", name, isFolder ? "\\" : "");
        kept.Reason = reason;
    }
    ++KeptCount;
}

bool NothingLeftToRemove(const RemovalOutcome& outcome)
{
    return !outcome.Undeletable && !outcome.Cancelled && !outcome.GroupLeft && !outcome.RegistrationLeft;
}

bool RemovalComplete(const RemovalOutcome& outcome)
{
    return NothingLeftToRemove(outcome) && !outcome.RecordLeft && outcome.OwnFileLater;
}

void LastBoxText(const char* folder, const RemovalOutcome& outcome, char* text, std::size_t size)
{
    FormatText(text, size, "Removed from %s: %d file%s, %d folder%s", folder, static_cast<int>(outcome.FilesRemoved),
               Plural(outcome.FilesRemoved), static_cast<int>(outcome.FoldersRemoved), Plural(outcome.FoldersRemoved));
    if (outcome.GroupRemoved) Add(text, size, ", the program group");
    if (outcome.RegistrationRemoved) Add(text, size, ", its entry in Add/Remove Programs");
    Add(text, size, ".");
    if (outcome.KeptCount) Add(text, size, "\n\nKept:");
    for (std::size_t i = 0; i < outcome.KeptCount && i < RemovalOutcome::NamesShown; ++i)
        Add(text, size, "\n%s: %s", outcome.KeptFiles[i].Name, KeptWhy[static_cast<int>(outcome.KeptFiles[i].Reason)]);
    if (outcome.KeptCount > RemovalOutcome::NamesShown) Add(text, size, "\nand more");
    if (outcome.GroupLeft) Add(text, size, "\n\nThe group stays: Program Manager kept it.");
    if (outcome.GroupShared) Add(text, size, "\n\nThe group stays with another installation.");
    if (outcome.RegistrationLeft)
        Add(text, size, "\n\nIts Add/Remove Programs entry stays.");
    if (outcome.RecordLeft)
        Add(text, size, "\n\nRun the removal again to finish it.");
    else if (outcome.OwnFileLater)
        Add(text, size, "\n\n%s goes when Windows next starts.", kRemovalProgramName);
    else
        Add(text, size, "\n\nDelete %s yourself.", kRemovalProgramName);
}
