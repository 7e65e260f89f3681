#include "bench/BenchFiles.h"

#include "engine/plain/Crc32.h"
#include "engine/plain/InstallPlan.h"
#include "engine/plain/ListFile.h"
#include "shell/plain/PathHelpers.h"

#include <windows.h>
#include <lzexpand.h>
#include <psapi.h>

BenchPlan PlanInstallation(const std::string& source, const std::string& target)
{
    BenchPlan plan;
    plan.Directories.push_back(target);
    // A drive root is named as the installer names its source drive ("A:").
    std::string disk = source;
    if (!disk.empty() && disk.back() == '\\') disk.pop_back();
    for (const InstallStep& step : InstallSteps()) {
        std::string from = step.Subfolder ? JoinedPath(disk, step.Subfolder) : disk;
        std::string to = step.Subfolder ? JoinedPath(target, step.Subfolder) : target;
        if (step.Subfolder) plan.Directories.push_back(to);
        std::string listPath = JoinedPath(from, step.ListName);
        std::vector<char> contents;
        if (LoadListFile(listPath.c_str(), contents) != ListLoadResult::Loaded) {
            plan.Error = "cannot read " + listPath;
            return plan;
        }
        ListLineReader reader(contents.data(), contents.size());
        char line[kListLineSize];
        long count = 0;
        if (reader.Next(line) != ListLineReader::Result::Line || !ParseListCount(line, count)) {
            plan.Error = "bad count in " + listPath;
            return plan;
        }
        for (long i = 0; i < count; ++i) {
            ListEntry entry;
            if (reader.Next(line) != ListLineReader::Result::Line || !ParseListEntry(line, entry)) {
                plan.Error = "bad entry in " + listPath;
                return plan;
            }
            plan.Files.push_back({step.ListName, CompressedName(JoinedPath(from, entry.Name)), JoinedPath(to, entry.Name)});
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

long long ExpandPlan(const BenchPlan& plan, std::string& error, BenchFileHook beforeFile, BenchFileHook afterFile)
{
    long long total = 0;
    for (const BenchFile& file : plan.Files) {
        OFSTRUCT sourceInfo = {};
        OFSTRUCT destinationInfo = {};
        std::string source = file.Source;
        std::string destination = file.Destination;
        if (beforeFile) beforeFile(file, nullptr);
        INT in = ::LZOpenFileA(&source[0], &sourceInfo, OF_READ);
        INT out = ::LZOpenFileA(&destination[0], &destinationInfo, OF_CREATE);
        LONG result = ::CopyLZFile(in, out);
        // A plain file's LZ handle is its file handle.
        if (afterFile && out >= 0) afterFile(file, reinterpret_cast<void*>(static_cast<INT_PTR>(out)));
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

long long ReadBackPlan(const BenchPlan& plan, std::string& error)
{
    long long total = 0;
    unsigned char buffer[3072];
    for (const BenchFile& file : plan.Files) {
        HANDLE handle = ::CreateFileA(file.Destination.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        DWORD read = 0;
        std::uint32_t crc = 0;
        while (handle != INVALID_HANDLE_VALUE && ::ReadFile(handle, buffer, sizeof buffer, &read, nullptr) && read > 0) {
            crc = Crc32(crc, buffer, read);
            total += read;
        }
        if (handle == INVALID_HANDLE_VALUE || read != 0 || !::CloseHandle(handle)) {
            error = "reading " + file.Destination + " back failed";
            return -1;
        }
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
