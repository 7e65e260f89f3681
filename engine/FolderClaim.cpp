#include "engine/FolderClaim.h"

#include "engine/FileSteps.h"
#include "engine/plain/LzErrors.h"
#include "engine/plain/ReplacementRecord.h"

void TFolderClaim::Release()
{
    if (!Record.IsValid()) return;
    // Held without sharing delete: closed before it can go.
    Record.Reset();
    DeleteStep(Path);
}

long TFolderClaim::Make(const std::string& recordPath)
{
    // Never a file of that name left by anybody: the run's start finished
    // or removed the record it found. Others may read it, never take it.
    Path = recordPath;
    Record.Reset(::CreateFileA(Path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW,
                               FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!Record.IsValid()) return kLzBadOutHandle;
    if (WriteStep(Record.Get(), Path, RecordHeader()) && FlushStep(Record.Get(), Path)) return 0;
    Record.Reset();
    DeleteStep(Path);
    return kLzWrite;
}
