#include "engine/CompressedSource.h"

#include "engine/plain/LzErrors.h"
#include "shell/ReportMessage.h"
#include "shell/plain/PathHelpers.h"

#include <lzexpand.h>

DWORD CompressedReads::SoFar() const
{
    const DWORD position = File ? ::SetFilePointer(File, 0, nullptr, FILE_CURRENT) : INVALID_SET_FILE_POINTER;
    return position == INVALID_SET_FILE_POINTER || position < Checked ? Checked : position;
}

long OpenCompressedSource(const char* path, TLzFile& file, FILETIME* released, CompressedReads* reads)
{
    if (released) *released = FILETIME{};
    if (reads) *reads = CompressedReads();
    file.Reset();
    // Opened once, for reading as the library's own LZOpenFileA opens it
    // (others may read and write it); a file that is missing, a folder or
    // held by another program cannot be.
    TFile source(::CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                               FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!source.IsValid()) return kLzBadInHandle;
    if (released && !::GetFileTime(source.Get(), nullptr, nullptr, released)) *released = FILETIME{};
    // A broken header: the library would take the file as uncompressed and
    // "copy" it, writing nothing (another method) or the bare header bytes
    // (a header cut short).
    unsigned char head[kLzHeaderSize];
    DWORD read = 0;
    if (!::ReadFile(source.Get(), head, sizeof head, &read, nullptr)) return kLzRead;
    const long fault = CompressedHeaderFault(head, read);
    if (fault != 0) return fault;
    // The library reads the header again from the first byte, and owns the
    // file from here on (LZClose closes it).
    if (::SetFilePointer(source.Get(), 0, nullptr, FILE_BEGIN) != 0) return kLzRead;
    const INT expanding = ::LZInit(static_cast<INT>(reinterpret_cast<INT_PTR>(source.Get())));
    if (expanding < 0) return expanding;
    if (reads) *reads = {source.Get(), read};
    source.Release();
    file.Reset(expanding);
    return 0;
}

bool ReportExpansionFault(HWND owner, int title, long result, const char* source, const char* destination,
                          FaultButtons buttons)
{
    LzErrorReport report = LzErrorReportFor(result);
    if (!report.Shown) return false;
    const char* detail = nullptr;
    if (report.Detail == LzDetail::SourceName) detail = FileNamePart(source);
    if (report.Detail == LzDetail::DestinationName) detail = FileNamePart(destination);
    if (buttons == FaultButtons::RetryOrCancel && report.Retry)
        return ReportMessageOfferingRetry(owner, title, report.Message, detail, report.Advice);
    ReportMessage(owner, title, report.Message, detail, 0, report.Advice);
    return false;
}
