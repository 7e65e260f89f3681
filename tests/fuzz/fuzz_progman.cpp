// Builds the Program Manager command text from arbitrary target directories,
// Windows directories, program names and titles, parses it back the way
// Program Manager reads its commands, and checks that it holds exactly the
// intended commands: nothing injected, no item changed, an item that cannot be
// expressed left out.
//
// Input: NUL-separated fields: the target directory, the Windows directory,
// then program name and title pairs; a name of the single byte 0x7F is an
// empty slot.
#include "progman/plain/ProgmanCommand.h"
#include "shell/plain/PathHelpers.h"

#include <algorithm>
#include <cctype>
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

struct Command {
    std::string Name;
    std::vector<std::string> Arguments;
    bool operator==(const Command& other) const { return Name == other.Name && Arguments == other.Arguments; }
};

// Program Manager's command syntax: "[Name(argument, argument)]" commands
// back to back; an argument is either in double quotes (holding no quote) or
// bare, holding none of , ( ) [ ] ". Arguments after the first follow ", ".
// False when the text is not a sequence of such commands.
bool ParseCommands(const std::string& text, std::vector<Command>& commands)
{
    std::size_t i = 0;
    auto at = [&](char c) { return i < text.size() && text[i] == c; };
    while (i < text.size()) {
        Command command;
        if (!at('[')) return false;
        ++i;
        while (i < text.size() && std::isalpha(static_cast<unsigned char>(text[i]))) command.Name += text[i++];
        if (command.Name.empty() || !at('(')) return false;
        ++i;
        for (;;) {
            std::string argument;
            if (at('"')) {
                std::size_t close = text.find('"', i + 1);
                if (close == std::string::npos) return false;
                argument = text.substr(i + 1, close - i - 1);
                i = close + 1;
            } else {
                std::size_t stop = text.find_first_of(",()[]\"", i);
                if (stop == std::string::npos) return false;
                argument = text.substr(i, stop - i);
                i = stop;
            }
            command.Arguments.push_back(argument);
            if (at(')')) break;
            if (!at(',')) return false;
            ++i;
            if (!at(' ')) return false;
            ++i;
        }
        ++i;
        if (!at(']')) return false;
        ++i;
        commands.push_back(command);
    }
    return true;
}

std::string Join(const std::string& directory, const std::string& name)
{
    std::string joined;
    if (!directory.empty() && directory.back() != '\\')
        joined = directory + "\\" + name;
    else
        joined = directory + name;
    // The installer's own join agrees wherever a path fits.
    if (const char* helper = JoinPath(directory.c_str(), name.c_str(), 0)) Check(joined == helper, "joins agree");
    return joined;
}

bool Expressible(const std::string& text) { return text.find('"') == std::string::npos; }
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::vector<std::string> fields;
    const char* text = reinterpret_cast<const char*>(data);
    std::size_t start = 0;
    for (std::size_t i = 0; i <= size; ++i) {
        if (i == size || data[i] == 0) {
            fields.emplace_back(text + start, i - start);
            start = i + 1;
        }
    }
    if (fields.size() < 2) return 0;
    const std::string& target = fields[0];
    const std::string& windows = fields[1];

    std::vector<ProgramItem> items;
    for (std::size_t i = 2; i + 1 < fields.size() && items.size() < 8; i += 2)
        items.push_back({fields[i] == "\x7F" ? nullptr : fields[i].c_str(), fields[i + 1].c_str()});

    const std::string commands = BuildGroupCommands(target.c_str(), items.data(), static_cast<int>(items.size()),
                                                    windows.c_str());

    std::vector<Command> expected = {{"CreateGroup", {"Tessaryn 3.0"}}};
    for (std::size_t i = 0; i < items.size() && i < kProgramSlots && items[i].File; ++i) {
        std::string program = Join(target, items[i].File);
        if (Expressible(program) && Expressible(items[i].Title)) expected.push_back({"AddItem", {program, items[i].Title}});
    }
    std::string notes = Join(windows, "notepad.exe") + " " + Join(target, "tsw.txt");
    if (Expressible(notes)) expected.push_back({"AddItem", {notes, "Revisions"}});

    std::vector<Command> parsed;
    Check(ParseCommands(commands, parsed), "the text is a sequence of well-formed commands");
    Check(parsed == expected, "exactly the intended commands, with their arguments unchanged");
    return 0;
}
