#include "engine/CompressedSource.h"

#include "engine/plain/LzErrors.h"
#include "shell/ReportMessage.h"
#include "shell/plain/PathHelpers.h"

#include <lzexpand.h>

namespace {
// What is wrong with the header of the compressed file the library opened
// (0: nothing, or not a compressed file at all).
long SourceHeaderFault(const char* path, FILETIME* released)
{
    TFile file(::CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                             FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.IsValid()) return 0;  // not to be looked at here: the library decides
    if (released && !::GetFileTime(file.Get(), nullptr, nullptr, released)) *released = FILETIME{};
    unsigned char head[kLzHeaderSize];
    DWORD read = 0;
    if (!::ReadFile(file.Get(), head, sizeof head, &read, nullptr)) return kLzRead;
    return CompressedHeaderFault(head, read);
}
}

long OpenCompressedSource(const char* path, TLzFile& file, FILETIME* released)
{
    if (released) *released = FILETIME{};
    OFSTRUCT info = {};
    file.Reset(::LZOpenFileA(const_cast<char*>(path), &info, OF_READ));
    // LZERROR_BADINHANDLE for a file that is missing or cannot be opened.
    if (!file.IsValid()) return file.Get();
    // A broken header: the library would take the file as uncompressed and
    // "copy" it, writing nothing (another method) or the bare header bytes
    // (a header cut short).
    long fault = SourceHeaderFault(info.szPathName, released);
    if (fault != 0) file.Reset();
    return fault;
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
