#include "engine/DestinationFile.h"

#include "engine/plain/LzErrors.h"

namespace {
// A folder, or a read-only file: never replaced, even where the platform
// would let this process write it regardless (an administrator's rights).
bool CannotBeReplaced(DWORD attributes)
{
    return attributes != INVALID_FILE_ATTRIBUTES &&
           (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY));
}

// Opens `path` (whose attributes are given) for writing with no sharing, so
// a file in use refuses; keeps the handle only when it is a disk file.
long OpenForWriting(const char* path, DWORD attributes, DWORD disposition, TFile& file)
{
    if (CannotBeReplaced(attributes)) return kLzBadOutHandle;
    file.Reset(::CreateFileA(path, GENERIC_WRITE, 0, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.IsValid()) return kLzBadOutHandle;
    // A device opens under a file's name (on Windows 95 also the names of the
    // drivers loaded at boot, which no fixed list holds).
    if (::GetFileType(file.Get()) != FILE_TYPE_DISK) {
        file.Reset();
        return kLzBadOutHandle;
    }
    return 0;
}
}

long CreateDestination(const char* path, TFile& file)
{
    return OpenForWriting(path, ::GetFileAttributesA(path), CREATE_ALWAYS, file);
}

long CheckDestination(const char* path)
{
    const DWORD attributes = ::GetFileAttributesA(path);
    if (attributes == INVALID_FILE_ATTRIBUTES) return 0;
    TFile file;
    return OpenForWriting(path, attributes, OPEN_EXISTING, file);
}
