#include "engine/ExpansionLoop.h"

#include "engine/plain/Crc32.h"
#include "engine/plain/LzErrors.h"

#include <lzexpand.h>

namespace {
// One run at a time on the one thread: the buffer is the program's, outside
// the stack (a frame over a page would need the stack probe, which the
// installer's runtime does not have). Large pieces keep the writes few: the
// disk's own cache, not this buffer, decides what reaches the disk when.
unsigned char Piece[32768];
}

LONG ExpandInto(INT source, HANDLE output, ExpandedContents& written, WrittenWatch watch, void* context)
{
    written = ExpandedContents();
    for (;;) {
        const INT read = ::LZRead(source, reinterpret_cast<char*>(Piece), sizeof Piece);
        if (read < 0) return read;
        if (read == 0) return static_cast<LONG>(written.Size);
        DWORD taken = 0;
        if (!::WriteFile(output, Piece, static_cast<DWORD>(read), &taken, nullptr) || taken != static_cast<DWORD>(read))
            return kLzWrite;
        // The expander's length is a LONG: a file that would pass it is no
        // file the library makes.
        if (written.Size > static_cast<std::uint32_t>(0x7FFFFFFF) - taken) return kLzRead;
        written.Crc = Crc32(written.Crc, Piece, taken);
        written.Size += taken;
        if (watch) watch(written.Size, context);
    }
}

bool CountContents(HANDLE file, ExpandedContents& read)
{
    read = ExpandedContents();
    for (;;) {
        DWORD got = 0;
        if (!::ReadFile(file, Piece, sizeof Piece, &got, nullptr)) return false;
        if (got == 0) return true;
        if (read.Size > static_cast<std::uint32_t>(0x7FFFFFFF) - got) return false;
        read.Crc = Crc32(read.Crc, Piece, got);
        read.Size += got;
    }
}
