#include "engine/SourceReads.h"

#include "shell/plain/FormatText.h"

namespace {
SourceReads Reads;
}

SourceReads& RunSourceReads()
{
    return Reads;
}

std::string SourceReadsNote()
{
    // No run reads 2 GB from floppies or a point.
    const int bytes = Reads.Bytes > 0x7FFFFFFF ? 0x7FFFFFFF : static_cast<int>(Reads.Bytes);
    char note[96];
    FormatText(note, sizeof note, "read from the source: %d bytes; files left as they were: %d", bytes,
               static_cast<int>(Reads.FilesLeft));
    return note;
}
