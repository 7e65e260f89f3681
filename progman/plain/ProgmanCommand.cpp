#include "progman/plain/ProgmanCommand.h"

#include "engine/plain/RemovalRegistration.h"
#include "shell/plain/PathHelpers.h"

#include <cstring>

const char* const ProgramGroupName = "Tessaryn 3.0";


namespace {
void AppendItem(std::string& commands, const std::string& commandLine, const std::string& title)
{
    commands += "[AddItem(";
    commands += ProgmanArgument(commandLine);
    commands += ", ";
    commands += ProgmanArgument(title);
    commands += ")]";
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

std::string BuildGroupCommands(const char* targetDirectory, const ProgramItem* items, int itemCount,
                               const char* windowsDirectory, ShortPathFunction shortForm)
{
    std::string commands = "[CreateGroup(" + ProgmanArgument(ProgramGroupName) + ")]";
    const std::string target = targetDirectory;
    for (int i = 0; i < itemCount && i < kProgramSlots && items[i].File; ++i) {
        std::string program = CommandPath(JoinedPath(target, items[i].File), shortForm);
        const char* title = items[i].Title ? items[i].Title : "";
        if (!IsProgmanSafe(program.c_str()) || !IsProgmanSafe(title)) continue;
        AppendItem(commands, program, title);
    }
    std::string notes = CommandPath(JoinedPath(windowsDirectory, "notepad.exe"), shortForm) + " " +
                        CommandPath(JoinedPath(target, "tsw.txt"), shortForm);
    if (IsProgmanSafe(notes.c_str())) AppendItem(commands, notes, "Revisions");
    return commands;
}

std::string RemovalItemCommand(const char* targetDirectory, ShortPathFunction shortForm)
{
    const std::string program = CommandPath(JoinedPath(targetDirectory, kRemovalProgramName), shortForm);
    if (!IsProgmanSafe(program.c_str())) return std::string();
    std::string command;
    AppendItem(command, program, kRemovalItemTitle);
    return command;
}
