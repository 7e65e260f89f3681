// Reads disk list files with the installer's own list reader and says, for
// each one an installation would refuse, where and why: the disk-set builder
// runs it over every list it writes, so that a set the installer cannot
// install is never made.
//
// Usage: list_check LIST...
// Prints "LIST:LINE: reason" (LINE 0: the list as a whole) for each refused
// list. Exit code: 0 when every list is accepted; 1 when one is refused; 2
// for bad arguments or a list that cannot be read.
#include "engine/plain/InstallPlan.h"
#include "engine/plain/ListFile.h"
#include "shell/plain/PathHelpers.h"
#include "shell/plain/Settings.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <strings.h>
#include <vector>

// The list read whole with the C library, as the installer reads it with
// the platform's calls (engine/ListFileLoad.cpp): the same limit, the same
// answers.
ListLoadResult LoadListFile(const char* path, std::vector<char>& contents)
{
    std::FILE* file = std::fopen(path, "rb");
    if (!file) return ListLoadResult::NotFound;
    ListLoadResult result = ListLoadResult::Loaded;
    long size = std::fseek(file, 0, SEEK_END) == 0 ? std::ftell(file) : -1;
    if (size < 0 || size > kMaxListFileBytes) result = ListLoadResult::Unreadable;
    if (result == ListLoadResult::Loaded) {
        std::rewind(file);
        contents.resize(static_cast<std::size_t>(size));
        if (size > 0 && std::fread(contents.data(), 1, contents.size(), file) != contents.size())
            result = ListLoadResult::Unreadable;
    }
    std::fclose(file);
    return result;
}

namespace {
// Where an installation into the default target puts the files of a list of
// that name: the target, or its subfolder for that list.
std::string DestinationFor(const std::string& listName)
{
    std::string destination = InstallSettings().TargetDirectory;
    for (const InstallStep& step : InstallSteps())
        if (strcasecmp(step.ListName, listName.c_str()) == 0 && step.Subfolder)
            destination = JoinedPath(destination, step.Subfolder);
    return destination;
}

// Why ParseListEntry refused `line`: its title when the name before it would
// install, otherwise its name.
std::string RefusedEntry(const char* line)
{
    const char* name = line + std::strspn(line, " ");
    const std::string word(name, std::strcspn(name, " \t\r\n\v\f"));
    if (word.empty()) return "an entry line without a name";
    const bool titled = name[word.size()] == ' ' && strcasecmp(FileExtension(word.c_str()), ".EXE") == 0;
    if (titled && IsSafeInstalledName(word)) return "the installer refuses the title of " + word;
    return "the installer refuses the name " + word;
}

// The line of a refused list that the installer stops at, and why.
void ExplainFault(const std::vector<char>& contents, const ListPlan& plan, ListFault fault, int& lineNumber,
                  std::string& reason)
{
    if (fault == ListFault::DestinationTooLong || fault == ListFault::DestinationIsSource) {
        lineNumber = 0;
        reason = "the installer cannot create " + plan.Refused;
        return;
    }
    ListLineReader reader(contents.data(), contents.size());
    char line[kListLineSize];
    long count = 0;
    lineNumber = 1;
    if (reader.Next(line) != ListLineReader::Result::Line || !ParseListCount(line, count)) {
        reason = "the installer refuses the count line";
        return;
    }
    ListEntry entry;
    for (long i = 0; i < count; ++i) {
        ++lineNumber;
        ListLineReader::Result result = reader.Next(line);
        if (result == ListLineReader::Result::End) {
            reason = "fewer entry lines than the count, " + std::to_string(count);
            return;
        }
        if (result == ListLineReader::Result::Bad) {
            reason = "a line the installer cannot read (over " + std::to_string(kListLineMaxLength) +
                     " characters, or a NUL)";
            return;
        }
        char parsed[kListLineSize];
        std::memcpy(parsed, line, sizeof line);
        if (!ParseListEntry(parsed, entry)) {
            reason = RefusedEntry(line);
            return;
        }
    }
    lineNumber = 0;
    reason = "the installer refuses this list";
}
}

int main(int argc, char** argv)
{
    if (argc < 2 || std::strcmp(argv[1], "-h") == 0 || std::strcmp(argv[1], "--help") == 0) {
        std::fprintf(argc < 2 ? stderr : stdout, "usage: %s LIST...\n", argv[0]);
        return argc < 2 ? 2 : 0;
    }
    int status = 0;
    for (int i = 1; i < argc; ++i) {
        const char* path = argv[i];
        std::vector<char> contents;
        if (LoadListFile(path, contents) != ListLoadResult::Loaded) {
            std::fprintf(stderr, "%s: cannot be read whole\n", path);
            return 2;
        }
        ListPlan plan;
        const char* slash = std::strrchr(path, '/');
        const std::string destination = DestinationFor(slash ? slash + 1 : path);
        ListFault fault = PlanListContents(contents.data(), contents.size(), "A:", destination.c_str(),
                                           kListLineMaxLength, plan);
        if (fault == ListFault::None) continue;
        int lineNumber = 0;
        std::string reason;
        ExplainFault(contents, plan, fault, lineNumber, reason);
        std::printf("%s:%d: %s\n", path, lineNumber, reason.c_str());
        status = 1;
    }
    return status;
}
