// The benchmark's baseline: the bare expansion loop. Reads the list files of
// SOURCE, creates the folders of an empty tree under TARGET, and expands every
// listed file with LZOpenFileA, CopyLZFile and LZClose alone.
//
//   bench_expand SOURCE TARGET
//   bench_expand --list SOURCE TARGET
//
// With --list nothing is written: one "list<TAB>compressed<TAB>installed" line
// per file, in the installer's order.
// Prints key=value lines: files, bytes, lists_ms (reading the lists and
// creating the folders), expand_ms (the loop alone), check_ms (reading every
// expanded file back for its CRC-32, as the installer's check does), peak_ws
// (this process's peak working set in bytes). Exit code 0 on success.
#include "bench/BenchFiles.h"

#include <windows.h>

#include <cstdio>
#include <cstring>

int main(int argc, char** argv)
{
    const bool listOnly = argc == 4 && std::strcmp(argv[1], "--list") == 0;
    if (argc != 3 && !listOnly) {
        std::fprintf(stderr, "usage: bench_expand [--list] SOURCE TARGET\n");
        return 2;
    }
    double start = NowSeconds();
    BenchPlan plan = PlanInstallation(argv[argc - 2], argv[argc - 1]);
    std::string error = plan.Error;
    if (listOnly && error.empty()) {
        for (const BenchFile& file : plan.Files)
            std::printf("%s\t%s\t%s\n", file.List, file.Source.c_str(), file.Destination.c_str());
        return 0;
    }
    if (!error.empty() || !CreatePlanDirectories(plan, error)) {
        std::fprintf(stderr, "bench_expand: %s\n", error.c_str());
        return 1;
    }
    double expandStart = NowSeconds();
    long long bytes = ExpandPlan(plan, error);
    double end = NowSeconds();
    if (bytes < 0) {
        std::fprintf(stderr, "bench_expand: %s (%lld)\n", error.c_str(), bytes);
        return 1;
    }
    const long long readBack = ReadBackPlan(plan, error);
    double checked = NowSeconds();
    if (readBack != bytes) {
        std::fprintf(stderr, "bench_expand: %s\n", error.empty() ? "read back another length" : error.c_str());
        return 1;
    }
    std::printf("files=%zu\nbytes=%lld\nlists_ms=%.2f\nexpand_ms=%.2f\ncheck_ms=%.2f\npeak_ws=%llu\n", plan.Files.size(),
                bytes, (expandStart - start) * 1000.0, (end - expandStart) * 1000.0, (checked - end) * 1000.0,
                PeakWorkingSet(::GetCurrentProcess()));
    return 0;
}
