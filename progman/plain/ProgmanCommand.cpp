#include "progman/plain/ProgmanCommand.h"

#include "engine/plain/RemovalRegistration.h"
#include "shell/plain/PathHelpers.h"

#include <cstring>

const char* const ProgramGroupName = "Tessaryn 3.0";


namespace {
std::string ItemCommand(const std::string& commandLine, const std::string& title)
{
    return "[AddItem(" + ProgmanArgument(commandLine) + ", " + ProgmanArgument(title) + ")]";
}

// A path as it can start an item's command line.
std::string CommandPath(const std::string& path, ShortPathFunction shortForm)
{
    if (path.find(' ') == std::string::npos || !shortForm) return path;
    std::string shortPath = shortForm(path);
    return shortPath.empty() ? path : shortPath;
}
}

bool IsProgmanSafe(const char* text)
{
    return std::strchr(text, '"') == nullptr;
}

std::string ProgmanArgument(const std::string& text)
{
    if (text.find_first_of(",()[]") == std::string::npos) return text;
    return "\"" + text + "\"";
}

std::vector<GroupCommand> GroupCommands(const char* targetDirectory, const ProgramItem* items, int itemCount,
                                        const char* windowsDirectory, ShortPathFunction shortForm)
{
    std::vector<GroupCommand> commands = {{ProgramGroupName, "[CreateGroup(" + ProgmanArgument(ProgramGroupName) + ")]"}};
    const std::string target = targetDirectory;
    for (int i = 0; i < itemCount && i < kProgramSlots && items[i].File; ++i) {
        std::string program = CommandPath(JoinedPath(target, items[i].File), shortForm);
        const char* title = items[i].Title ? items[i].Title : "";
        const bool safe = IsProgmanSafe(program.c_str()) && IsProgmanSafe(title);
        commands.push_back({title, safe ? ItemCommand(program, title) : std::string()});
    }
    std::string notes = CommandPath(JoinedPath(windowsDirectory, "notepad.exe"), shortForm) + " " +
                        CommandPath(JoinedPath(target, "tsw.txt"), shortForm);
    commands.push_back({"Revisions", IsProgmanSafe(notes.c_str()) ? ItemCommand(notes, "Revisions") : std::string()});
    return commands;
}

std::string BuildGroupCommands(const char* targetDirectory, const ProgramItem* items, int itemCount,
                               const char* windowsDirectory, ShortPathFunction shortForm)
{
    std::string text;
    for (const GroupCommand& command : GroupCommands(targetDirectory, items, itemCount, windowsDirectory, shortForm))
        text += command.Command;
    return text;
}

std::string RemovalItemCommand(const char* targetDirectory, ShortPathFunction shortForm)
{
    const std::string program = CommandPath(JoinedPath(targetDirectory, kRemovalProgramName), shortForm);
    if (!IsProgmanSafe(program.c_str())) return std::string();
    return ItemCommand(program, kRemovalItemTitle);
}

std::string GroupShortfallNotice(bool groupMade, const std::vector<std::string>& missingItems,
                                 const std::string& removalProgram)
{
    if (groupMade && missingItems.empty()) return std::string();
    const std::string group = std::string("\"") + ProgramGroupName + "\"";
    std::string text = groupMade ? "Program Manager did not confirm these items of the group " + group + ": "
                                 : "Program Manager did not make the group " + group + " with its items: ";
    bool removal = false;
    for (std::size_t i = 0; i < missingItems.size(); ++i) {
        text += (i ? ", " : "") + missingItems[i];
        removal = removal || missingItems[i] == kRemovalItemTitle;
    }
    text += ".";
    if (removal) text += "\n\nTessaryn 3.0 is removed by starting " + removalProgram + ".";
    return text + "\n\nAdd what is missing in Program Manager, or install again.";
}
