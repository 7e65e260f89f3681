#include "bench/BenchFiles.h"

#include <windows.h>
#include <lzexpand.h>
#include <psapi.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {
// The list files in the installer's order, with the folder they sit in on the
// disk and the folder under the target that receives their files.
struct ListStep {
    const char* List;
    const char* Folder;  // null: the root of the disk and the target itself
};
const ListStep Steps[] = {
    {"disk_1.lst", nullptr},  {"disk_2.lst", nullptr},  {"disk_2e.lst", "LOOKUP"},
    {"disk_2f.lst", "USER_DLL"}, {"disk_2a.lst", "CRANE"}, {"disk_2b.lst", "CCIR"},
    {"disk_2c.lst", "CANADA"}, {"disk_2d.lst", "TSDATA"},
};

std::string Join(const std::string& folder, const std::string& name)
{
    if (folder.empty()) return name;
    if (folder.back() == '\\' || folder.back() == ':') return folder + name;
    return folder + "\\" + name;
}

// One entry line without its line break: the installed name. A ".EXE" name
// followed by spaces carries an item title, which is dropped here.
std::string EntryName(std::string line)
{
    std::size_t start = line.find_first_not_of(' ');
    if (start == std::string::npos) return std::string();
    line.erase(0, start);
    std::size_t end = line.find(' ');
    if (end != std::string::npos) {
        std::string name = line.substr(0, end);
        std::size_t slash = name.find_last_of("\\:");
        std::size_t dot = name.find('.', slash == std::string::npos ? 0 : slash + 1);
        if (dot != std::string::npos && _stricmp(name.c_str() + dot, ".EXE") == 0) return name;
    }
    return line;
}

bool ReadLines(const std::string& path, std::vector<std::string>& lines)
{
    FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return false;
    std::string text;
    char buffer[4096];
    std::size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) text.append(buffer, got);
    std::fclose(file);
    std::size_t at = 0;
    while (at < text.size()) {
        std::size_t end = text.find('\n', at);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(at, end - at);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
        at = end + 1;
    }
    return true;
}
}

BenchPlan PlanInstallation(const std::string& source, const std::string& target)
{
    BenchPlan plan;
    plan.Directories.push_back(target);
    for (const ListStep& step : Steps) {
        std::string from = step.Folder ? Join(source, step.Folder) : source;
        std::string to = step.Folder ? Join(target, step.Folder) : target;
        if (step.Folder) plan.Directories.push_back(to);
        std::vector<std::string> lines;
        std::string listPath = Join(from, step.List);
        if (!ReadLines(listPath, lines) || lines.empty()) {
            plan.Error = "cannot read " + listPath;
            return plan;
        }
        long count = std::strtol(lines[0].c_str(), nullptr, 10);
        if (count < 0 || static_cast<std::size_t>(count) >= lines.size()) {
            plan.Error = "bad count in " + listPath;
            return plan;
        }
        for (long i = 1; i <= count; ++i) {
            std::string name = EntryName(lines[i]);
            if (name.empty()) {
                plan.Error = "blank entry in " + listPath;
                return plan;
            }
            std::string compressed = name;
            compressed.back() = '_';
            plan.Files.push_back({Join(from, compressed), Join(to, name)});
        }
    }
    return plan;
}

bool CreatePlanDirectories(const BenchPlan& plan, std::string& error)
{
    for (const std::string& directory : plan.Directories) {
        if (!::CreateDirectoryA(directory.c_str(), nullptr) && ::GetLastError() != ERROR_ALREADY_EXISTS) {
            error = "cannot create " + directory;
            return false;
        }
    }
    return true;
}

long long ExpandPlan(const BenchPlan& plan, std::string& error)
{
    long long total = 0;
    for (const BenchFile& file : plan.Files) {
        OFSTRUCT sourceInfo = {};
        OFSTRUCT destinationInfo = {};
        std::string source = file.Source;
        std::string destination = file.Destination;
        INT in = ::LZOpenFileA(&source[0], &sourceInfo, OF_READ);
        INT out = ::LZOpenFileA(&destination[0], &destinationInfo, OF_CREATE);
        LONG result = ::CopyLZFile(in, out);
        if (in >= 0) ::LZClose(in);
        if (out >= 0) ::LZClose(out);
        if (in < 0 || out < 0 || result < 0) {
            error = "expanding " + file.Source + " to " + file.Destination + " failed";
            return result < 0 ? result : -1;
        }
        total += result;
    }
    return total;
}

double NowSeconds()
{
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        ::QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER now;
    ::QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

unsigned long long PeakWorkingSet(void* process)
{
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof counters;
    if (!::GetProcessMemoryInfo(static_cast<HANDLE>(process), &counters, sizeof counters)) return 0;
    return counters.PeakWorkingSetSize;
}
