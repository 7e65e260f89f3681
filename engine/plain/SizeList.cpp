#include "engine/plain/SizeList.h"

#include "engine/plain/ChecksumList.h"
#include "engine/plain/InstallPlan.h"

#include <cstring>
#include <strings.h>

const char* const kSizeListName = "SIZES.LST";

std::uint64_t SetSizes::ListTotal(int list) const
{
    std::uint64_t total = 0;
    for (const SizedFile& file : Files)
        if (file.List == list) total += file.Size;
    return total;
}

namespace {
const InstallStep* StepOfList(const char* listName)
{
    for (const InstallStep& step : InstallSteps())
        if (strcasecmp(step.ListName, listName) == 0) return &step;
    return nullptr;
}
}

ListFault CheckSetSizes(const SetSizes& sizes, const char* listName, ListPlan& plan)
{
    if (!sizes.Known) return ListFault::None;
    const InstallStep* step = StepOfList(listName);
    for (const PlannedFile& file : plan.Files) {
        bool named = false;
        for (const SizedFile& sized : sizes.Files)
            named = named || (step && sized.List == step->List && strcasecmp(sized.Name.c_str(), file.Name.c_str()) == 0);
        if (!named) {
            plan.Refused = kSizeListName;
            return ListFault::BadSizeList;
        }
    }
    return ListFault::None;
}

bool ParseSizeLine(char (&line)[kListLineSize], SizedFile& parsed)
{
    line[kListLineSize - 1] = '\0';
    std::size_t length = std::strlen(line);
    if (length > 0 && line[length - 1] == '\n') line[--length] = '\0';
    const char* p = line;
    std::uint32_t size = 0;
    for (; *p >= '0' && *p <= '9'; ++p) {
        const std::uint32_t digit = static_cast<std::uint32_t>(*p - '0');
        if (size > (kMaxExpandedSize - digit) / 10) return false;
        size = size * 10 + digit;
    }
    if (p == line || *p++ != ' ') return false;
    const char* list = p;
    p = std::strchr(list, ' ');
    if (!p) return false;
    const InstallStep* step = StepOfList(std::string(list, static_cast<std::size_t>(p - list)).c_str());
    if (!step || !IsSafeInstalledName(p + 1, line + length)) return false;
    parsed.List = step->List;
    parsed.Size = size;
    parsed.Name.assign(p + 1, static_cast<std::size_t>(line + length - (p + 1)));
    return true;
}

bool ReadSizeList(const char* data, std::size_t size, SetSizes& sizes)
{
    sizes = SetSizes();
    ListLineReader reader(data, size);
    char line[kListLineSize];
    SizedFile parsed;
    for (;;) {
        const ListLineReader::Result result = reader.Next(line);
        if (result == ListLineReader::Result::End) break;
        if (result == ListLineReader::Result::Bad || !ParseSizeLine(line, parsed)) return false;
        // Few lists of a few hundred files: a name given twice is found by looking.
        for (const SizedFile& earlier : sizes.Files)
            if (earlier.List == parsed.List && strcasecmp(earlier.Name.c_str(), parsed.Name.c_str()) == 0) return false;
        sizes.Files.push_back(parsed);
    }
    sizes.Known = true;
    return true;
}
