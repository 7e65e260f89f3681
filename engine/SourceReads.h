#pragma once
#include <cstdint>
#include <string>

// What a run reads from its source (its disks, an update's folder, an
// installation point): the bytes of the lists and the compressed files it
// reads there, and the files it left as they were because the installed one
// already held what the disk says it expands to. Counted where the reads
// happen, so the log's figure is the one measured. One run at a time.
struct SourceReads {
    std::uint64_t Bytes = 0;
    std::uint32_t FilesLeft = 0;
};

// The run's count; a run's log starts it afresh.
SourceReads& RunSourceReads();

// The log's note of the run's count.
std::string SourceReadsNote();
