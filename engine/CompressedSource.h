#pragma once
#include <windows.h>

#include "framework/UniqueHandle.h"

// What has been read of a compressed file that OpenCompressedSource opened,
// each byte counted once: the header it checked, which the library reads
// again from the file's start, up to where the library's reads have left
// the file's position.
struct CompressedReads {
    HANDLE File = nullptr;  // the library's, open as long as its TLzFile
    DWORD Checked = 0;
    DWORD SoFar() const;
};

// Opens a compressed source file for the expander and checks the header the
// platform's expander would let through: 0 with `file` open, or the expansion
// library's code for the file (kLzBadInHandle: it cannot be opened, a folder
// included; kLzRead: a header cut short, or nothing readable; kLzUnknownAlg:
// another method). `released`, when given, receives the file's last-write
// time (zero when unknown): the release's date of the file it expands to.
// `reads`, when given, follows what is read of it (0 bytes where it fails).
long OpenCompressedSource(const char* path, TLzFile& file, FILETIME* released = nullptr,
                          CompressedReads* reads = nullptr);

// The buttons of an expansion fault's report: OK where nothing on the disk
// can mend it (a check before anything is written), Retry and Cancel where
// the file is about to be expanded.
enum class FaultButtons { Ok, RetryOrCancel };

// Reports a negative expansion result under `title`: the expander's message,
// with the compressed or the installed file's name where it names one. True
// when the person chose Retry, which only a fault they can mend offers.
bool ReportExpansionFault(HWND owner, int title, long result, const char* source, const char* destination,
                          FaultButtons buttons = FaultButtons::Ok);
