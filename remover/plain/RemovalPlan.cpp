#include "remover/plain/RemovalPlan.h"

#include <algorithm>
#include <cstddef>

const char* const kRemoverName = "TSWREMOV.EXE";
const char* const kRemovalTitle = "Tessaryn 3.0 Removal";

namespace {
const char* const RenameSection = "[rename]";
// The last box stays on one screen: names beyond these are counted.
constexpr std::size_t KeptNamesShown = 12;

char Upper(char c)
{
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

// Recorded names are ASCII (IsSafeInstalledName), as are the paths compared here.
bool SameText(const std::string& a, const std::string& b)
{
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (Upper(a[i]) != Upper(b[i])) return false;
    return true;
}

bool Listed(const std::vector<std::string>& names, const std::string& name)
{
    for (const std::string& one : names)
        if (SameText(one, name)) return true;
    return false;
}

std::size_t Depth(const std::string& folder)
{
    return static_cast<std::size_t>(std::count(folder.begin(), folder.end(), '\\'));
}

const char* KeptWhy(RemovalOutcome::KeptReason reason)
{
    switch (reason) {
    case RemovalOutcome::KeptReason::Changed: return "changed since it was installed";
    case RemovalOutcome::KeptReason::NotInstalled: return "not installed by Tessaryn 3.0";
    case RemovalOutcome::KeptReason::Undeletable: return "could not be removed";
    }
    return "";
}

std::string Count(unsigned number, const char* one, const char* many)
{
    std::string digits;
    do {
        digits.insert(digits.begin(), static_cast<char>('0' + number % 10));
        number /= 10;
    } while (number);
    return digits + ' ' + (digits == "1" ? one : many);
}
}

std::vector<std::string> RecordedFileNames(const InstallRecordContents& record, const char* ownName)
{
    std::vector<std::string> names;
    for (const RecordedFile& file : record.Files)
        if (!SameText(file.Name, ownName) && !Listed(names, file.Name)) names.push_back(file.Name);
    return names;
}

bool IsInstalledVersion(const InstallRecordContents& record, const std::string& name, std::uint32_t size,
                        std::uint32_t crc)
{
    for (const RecordedFile& file : record.Files)
        if (SameText(file.Name, name) && file.Size == size && file.Crc == crc) return true;
    return false;
}

std::vector<std::string> FoldersDeepestFirst(const InstallRecordContents& record)
{
    std::vector<std::string> folders;
    for (const std::string& folder : record.Folders)
        if (folder != "." && !Listed(folders, folder)) folders.push_back(folder);
    // Deepest first, in the record's order within a depth (an insertion
    // sort: the runtime has no temporary buffer for std::stable_sort).
    for (std::size_t i = 1; i < folders.size(); ++i)
        for (std::size_t j = i; j > 0 && Depth(folders[j]) > Depth(folders[j - 1]); --j) folders[j].swap(folders[j - 1]);
    return folders;
}

bool InstalledFolderItself(const InstallRecordContents& record)
{
    return std::find(record.Folders.begin(), record.Folders.end(), ".") != record.Folders.end();
}

std::string DeleteGroupCommand(bool common)
{
    return std::string("[DeleteGroup(") + kRecordedProductName + (common ? ",1)]" : ")]");
}

bool IsOwnUninstallString(const char* value, const char* ownPath)
{
    std::string text(value);
    if (text.size() >= 2 && text.front() == '"' && text.back() == '"') text = text.substr(1, text.size() - 2);
    return !text.empty() && SameText(text, ownPath);
}

std::string WithDeletionAtStart(const std::string& wininit, const std::string& shortPath)
{
    const std::string line = "NUL=" + shortPath;
    std::string text = wininit;
    if (!text.empty() && text.back() != '\n') text += "\r\n";
    // Where the lines of the [rename] section start, once its header is found.
    std::size_t section = std::string::npos;
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t next = text.find('\n', at) + 1;
        std::string current = text.substr(at, next - at);
        current.erase(current.find_last_not_of("\r\n \t") + 1);
        if (!current.empty() && current[0] == '[') {
            if (section != std::string::npos) break;
            if (SameText(current, RenameSection)) section = next;
        } else if (section != std::string::npos && SameText(current, line)) {
            return wininit;
        }
        at = next;
    }
    if (section == std::string::npos) return text + RenameSection + "\r\n" + line + "\r\n";
    return text.insert(section, line + "\r\n");
}

bool NothingLeftToRemove(const RemovalOutcome& outcome)
{
    for (const RemovalOutcome::Kept& kept : outcome.KeptFiles)
        if (kept.Reason == RemovalOutcome::KeptReason::Undeletable) return false;
    return !outcome.Cancelled && !outcome.GroupLeft && !outcome.RegistrationLeft;
}

bool RemovalComplete(const RemovalOutcome& outcome)
{
    return NothingLeftToRemove(outcome) && !outcome.RecordLeft && outcome.OwnFileLater;
}

std::string RemovalQuestion(const char* folder)
{
    return std::string("Remove Tessaryn 3.0 and all of its components from ") + folder + "?";
}

std::string LastBoxText(const char* folder, const RemovalOutcome& outcome)
{
    std::string text = outcome.Cancelled ? "The removal was stopped. Removed from " : "Removed from ";
    text += std::string(folder) + ": " + Count(outcome.FilesRemoved, "file", "files") + ", " +
            Count(outcome.FoldersRemoved, "folder", "folders");
    if (outcome.GroupRemoved) text += ", the program group";
    if (outcome.RegistrationRemoved) text += ", its entry in Add/Remove Programs";
    text += ".";
    if (!outcome.KeptFiles.empty()) {
        text += "\n\nKept:";
        for (std::size_t i = 0; i < outcome.KeptFiles.size() && i < KeptNamesShown; ++i)
            text += "\n" + outcome.KeptFiles[i].Name + ": " + KeptWhy(outcome.KeptFiles[i].Reason);
        if (outcome.KeptFiles.size() > KeptNamesShown)
            text += "\n" + Count(static_cast<unsigned>(outcome.KeptFiles.size() - KeptNamesShown), "more file",
                                 "more files");
    }
    if (outcome.GroupLeft) text += "\n\nThe program group Tessaryn 3.0 is still there: Program Manager did not answer.";
    if (outcome.RegistrationLeft)
        text += "\n\nTessaryn 3.0 is still listed in Add/Remove Programs: its entry could not be deleted.";
    if (outcome.RecordLeft)
        text += "\n\nRun the removal again to finish it.";
    else if (outcome.OwnFileLater)
        text += "\n\nThe removal program itself goes when Windows next starts.";
    else
        text += std::string("\n\nDelete ") + kRemoverName + " yourself: Windows could not be told to delete it.";
    return text;
}
