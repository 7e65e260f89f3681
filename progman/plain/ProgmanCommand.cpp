#include "progman/plain/ProgmanCommand.h"

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
                               const char* windowsDirectory)
{
    std::string commands = "[CreateGroup(" + ProgmanArgument(ProgramGroupName) + ")]";
    const std::string target = targetDirectory;
    for (int i = 0; i < itemCount && i < kProgramSlots && items[i].File; ++i) {
        std::string program = JoinedPath(target, items[i].File);
        const char* title = items[i].Title ? items[i].Title : "";
        if (!IsProgmanSafe(program.c_str()) || !IsProgmanSafe(title)) continue;
        AppendItem(commands, program, title);
    }
    std::string notes = JoinedPath(windowsDirectory, "notepad.exe") + " " + JoinedPath(target, "tsw.txt");
    if (IsProgmanSafe(notes.c_str())) AppendItem(commands, notes, "Revisions");
    return commands;
}
