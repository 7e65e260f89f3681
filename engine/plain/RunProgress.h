#pragma once
#include <cstdint>

// How far a run (an installation or an update) has come: the bytes written
// of the bytes its lists expand to, carried from list to list and disk to
// disk. Unknown (no bar) where the run's sizes are not known.
class RunProgress {
public:
    // A run whose lists expand to `total` bytes; 0: unknown.
    void Begin(std::uint64_t total)
    {
        *this = RunProgress();
        Total = total;
    }
    void Clear() { Begin(0); }
    bool IsKnown() const { return Total > 0; }
    std::uint64_t TotalBytes() const { return Total; }
    std::uint64_t Written() const { return Done + Current > Total ? Total : Done + Current; }
    // The written share of `width` (pixels), rounded down: `width` only once
    // the run is whole. Without 64-bit division, which the shipped programs
    // carry no library for.
    static int ShareOf(std::uint64_t done, std::uint64_t total, int width)
    {
        if (total == 0 || width <= 0) return -1;
        if (done >= total) return width;
        while (total >= (1u << 20)) {
            total >>= 1;
            done >>= 1;
        }
        const int share = static_cast<int>(static_cast<std::uint32_t>(done) * static_cast<std::uint32_t>(width) /
                                           static_cast<std::uint32_t>(total));
        // The halved sizes can meet short of the end.
        return share < width ? share : width - 1;
    }
    // The written share in whole percent, as the gauge shows it; -1: unknown.
    static int PercentOf(std::uint64_t done, std::uint64_t total) { return ShareOf(done, total, 100); }

    // The file being written has `bytes` of it on the disk (from its first
    // byte: a file begun again starts again).
    void FileWritten(std::uint32_t bytes) { Current = bytes; }
    void FileDone()
    {
        Done += Current;
        Current = 0;
    }
    // A list is over, whatever became of its files: the run is as far as the
    // lists so far expand to, also where one stopped early or was skipped.
    void ListDone(std::uint64_t listTotal)
    {
        ListStart += listTotal;
        Done = ListStart;
        Current = 0;
    }

private:
    std::uint64_t Total = 0;
    std::uint64_t ListStart = 0;
    std::uint64_t Done = 0;
    std::uint32_t Current = 0;
};
