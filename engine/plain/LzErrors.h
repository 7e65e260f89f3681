#pragma once
#include <cstddef>

// What a negative expansion result is reported as.
enum class LzDetail { None, SourceName, DestinationName };

struct LzErrorReport {
    bool Shown = false;        // some codes show nothing
    int Message = 0;
    LzDetail Detail = LzDetail::None;
    // Whether the person can mend the cause (change the disk, free space,
    // close the program holding the file) and have the file tried again.
    bool Retry = false;
    // What the person can do about it, shown below the report (or none).
    const char* Advice = nullptr;
};

LzErrorReport LzErrorReportFor(long result);

// The expansion library's error codes.
constexpr long kLzBadInHandle = -1;
constexpr long kLzBadOutHandle = -2;
constexpr long kLzRead = -3;
constexpr long kLzWrite = -4;
constexpr long kLzUnknownAlg = -8;
// The installer's own: every scratch name of the folder is taken.
constexpr long kNoScratchName = -20;

// The platform's compressed files start with a 14-byte header: the magic
// "SZDD" 88 F0 27 33, the method 'A', the last character of the name and the
// expanded length. Given the first bytes of a source file (up to 14), the
// error code for a compressed file the library cannot expand although it
// would still "copy" it: a header cut short, an empty file and one that stops
// inside the magic included (kLzRead), or another method (kLzUnknownAlg). 0
// for a sound header and for a file that does not start with the magic at
// all, which is copied as it stands.
constexpr std::size_t kLzHeaderSize = 14;
long CompressedHeaderFault(const unsigned char* head, std::size_t size);
