#include "engine/plain/LzErrors.h"

#include "shell/plain/MessageTable.h"


LzErrorReport LzErrorReportFor(long result)
{
    switch (result) {
    case -1: return {true, MsgFileNotFound, LzDetail::SourceName, true};
    case -2: return {true, MsgFileCreationError, LzDetail::DestinationName, true};
    case -3: return {true, MsgFileReadError, LzDetail::SourceName, true};
    case -4:
        return {true, MsgInsufficientDiskSpace, LzDetail::DestinationName, true,
                "The disk that takes this file is full. Make room on it (delete files you no longer need), then "
                "try again."};
    case -5: return {true, MsgInsufficientMemory, LzDetail::None, false};
    case -8: return {true, MsgIncorrectFileFormat, LzDetail::SourceName, true};
    case kNoScratchName:
        return {true, MsgFileCreationError, LzDetail::DestinationName, true,
                "Every scratch name from ~TSW0000.TMP to ~TSW9999.TMP is taken in the folder of this file. "
                "Delete those files there, then try again."};
    default: return {};
    }
}

namespace {
// Compared byte by byte: SETUP.EXE checks headers too and imports no C library function for it.
bool SameBytes(const unsigned char* first, const unsigned char* second, std::size_t size)
{
    for (std::size_t i = 0; i < size; ++i)
        if (first[i] != second[i]) return false;
    return true;
}
}

long CompressedHeaderFault(const unsigned char* head, std::size_t size)
{
    static const unsigned char magic[8] = {'S', 'Z', 'D', 'D', 0x88, 0xF0, 0x27, 0x33};
    // The compressor never writes a file that stops inside its magic, an
    // empty one included.
    if (size < sizeof magic) return (size == 0 || SameBytes(head, magic, size)) ? kLzRead : 0;
    if (!SameBytes(head, magic, sizeof magic)) return 0;
    if (size < kLzHeaderSize) return kLzRead;
    if (head[8] != 'A') return kLzUnknownAlg;
    return 0;
}
