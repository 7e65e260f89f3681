// The benchmark's baseline: the bare expansion loop. Reads the list files of
// SOURCE, creates the folders of an empty tree under TARGET, and expands every
// listed file with LZOpenFileA, CopyLZFile and LZClose alone.
//
//   bench_expand SOURCE TARGET
//   bench_expand --durable SOURCE TARGET
//   bench_expand --list SOURCE TARGET
//
// With --durable the loop is the "durable floor": what any installation that
// shows its progress and survives a power cut cannot avoid. Before each file
// a progress window of the installer's size has its text changed and is
// repainted at once, and after it the file is flushed to the disk
// (FlushFileBuffers) before it is closed. No read-back.
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

namespace {
// The durable floor's progress window: one line of text, repainted per file.
HWND Progress = nullptr;
char ProgressText[80] = "";

LRESULT CALLBACK ProgressProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message != WM_PAINT) return ::DefWindowProcA(window, message, wParam, lParam);
    PAINTSTRUCT paint;
    HDC dc = ::BeginPaint(window, &paint);
    ::TextOutA(dc, 8, 1, ProgressText, static_cast<int>(std::strlen(ProgressText)));
    ::EndPaint(window, &paint);
    return 0;
}

bool OpenProgressWindow()
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = ProgressProc;
    wc.hInstance = ::GetModuleHandleA(nullptr);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = "BenchProgress";
    if (!::RegisterClassA(&wc)) return false;
    // The installer's progress window at 96 pixels an inch: 390 by 44.
    Progress = ::CreateWindowA(wc.lpszClassName, "Bench Progress", WS_POPUP | WS_VISIBLE | WS_CAPTION, 100, 100, 390,
                               44, nullptr, nullptr, wc.hInstance, nullptr);
    return Progress != nullptr;
}

void ShowFile(const BenchFile& file, void*)
{
    std::snprintf(ProgressText, sizeof ProgressText, "Expanding %s . . .", file.Source.c_str());
    ::InvalidateRect(Progress, nullptr, TRUE);
    ::UpdateWindow(Progress);
}

void FlushFile(const BenchFile&, void* destination)
{
    ::FlushFileBuffers(static_cast<HANDLE>(destination));
}
}

int main(int argc, char** argv)
{
    const bool listOnly = argc == 4 && std::strcmp(argv[1], "--list") == 0;
    const bool durable = argc == 4 && std::strcmp(argv[1], "--durable") == 0;
    if (argc != 3 && !listOnly && !durable) {
        std::fprintf(stderr, "usage: bench_expand [--list | --durable] SOURCE TARGET\n");
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
    if (durable && !OpenProgressWindow()) {
        std::fprintf(stderr, "bench_expand: no progress window\n");
        return 1;
    }
    double expandStart = NowSeconds();
    long long bytes = durable ? ExpandPlan(plan, error, &ShowFile, &FlushFile) : ExpandPlan(plan, error);
    double end = NowSeconds();
    if (bytes < 0) {
        std::fprintf(stderr, "bench_expand: %s (%lld)\n", error.c_str(), bytes);
        return 1;
    }
    if (durable) {
        std::printf("files=%zu\nbytes=%lld\ndurable_ms=%.2f\n", plan.Files.size(), bytes, (end - expandStart) * 1000.0);
        return 0;
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
