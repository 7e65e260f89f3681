#pragma once
#include <string>
#include <vector>

// The files of a whole installation, as the benchmark's comparison programs
// expand them: read from the disk list files of a source that holds both
// program disks at once, in the order in which the installer takes the lists.

struct BenchFile {
    const char* List;         // the list that names it, e.g. disk_2e.lst
    std::string Source;       // compressed file, e.g. A:\LOOKUP\ANTENNA.TB_
    std::string Destination;  // installed file, e.g. C:\X\LOOKUP\ANTENNA.TBL
};

struct BenchPlan {
    std::vector<std::string> Directories;  // to create, parents first
    std::vector<BenchFile> Files;
    std::string Error;                     // empty when the plan is complete
};

// Reads every list file of the installation plan from the source (a root such
// as "A:\" or a folder), as the installer parses them, and plans the expansion
// into target.
BenchPlan PlanInstallation(const std::string& source, const std::string& target);

// Creates the plan's directories (CreateDirectoryA); false with a message
// when one cannot be made.
bool CreatePlanDirectories(const BenchPlan& plan, std::string& error);

// Expands every file of the plan with LZOpenFileA, CopyLZFile and LZClose,
// nothing else (but `beforeFile` and `afterFile`, when given: called with the
// file, and after it with its destination's handle still open). Returns the
// number of bytes written, or a negative LZ error code (error then names the
// file).
using BenchFileHook = void (*)(const BenchFile& file, void* destination);
long long ExpandPlan(const BenchPlan& plan, std::string& error, BenchFileHook beforeFile = nullptr,
                     BenchFileHook afterFile = nullptr);

// Reads every expanded file of the plan back from its first byte and takes
// its CRC-32, in pieces of the installer's size: what the installer's check
// against the disk's CHECKSUM.LST costs. Returns the bytes read, or -1
// (error then names the file).
long long ReadBackPlan(const BenchPlan& plan, std::string& error);

// Seconds on the high-resolution clock.
double NowSeconds();

// The process's peak working set in bytes (0 when it cannot be read).
unsigned long long PeakWorkingSet(void* process);
