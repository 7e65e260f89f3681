#pragma once
#include <windows.h>
#include <ddeml.h>
#include <lzexpand.h>

// Owns one platform handle and closes it once. The traits say what an unset
// handle is and how one is closed: Handle, Invalid(), IsValid(h), Close(h).
template <typename Traits>
class TUniqueHandle {
public:
    using Handle = typename Traits::Handle;

    TUniqueHandle() = default;
    explicit TUniqueHandle(Handle handle) : Value(handle) {}
    TUniqueHandle(TUniqueHandle&& other) noexcept : Value(other.Release()) {}
    TUniqueHandle& operator=(TUniqueHandle&& other) noexcept
    {
        Reset(other.Release());
        return *this;
    }
    ~TUniqueHandle() { Reset(); }

    Handle Get() const { return Value; }
    bool IsValid() const { return Traits::IsValid(Value); }
    void Reset(Handle handle = Traits::Invalid())
    {
        if (IsValid()) Traits::Close(Value);
        Value = handle;
    }
    Handle Release()
    {
        Handle handle = Value;
        Value = Traits::Invalid();
        return handle;
    }

private:
    Handle Value = Traits::Invalid();
};

struct FileHandleTraits {
    using Handle = HANDLE;
    static Handle Invalid() { return INVALID_HANDLE_VALUE; }
    static bool IsValid(Handle handle) { return handle != INVALID_HANDLE_VALUE; }
    static void Close(Handle handle) { ::CloseHandle(handle); }
};
using TFile = TUniqueHandle<FileHandleTraits>;

// A handle of the LZ expansion library; negative values are its error codes.
struct LzHandleTraits {
    using Handle = INT;
    static Handle Invalid() { return -1; }
    static bool IsValid(Handle handle) { return handle >= 0; }
    static void Close(Handle handle) { ::LZClose(handle); }
};
using TLzFile = TUniqueHandle<LzHandleTraits>;

// Traits of the handles whose unset value is zero or null.
template <typename Type>
struct ZeroIsUnset {
    using Handle = Type;
    static Handle Invalid() { return Handle(); }
    static bool IsValid(Handle handle) { return handle != Handle(); }
};

struct MetaFileTraits : ZeroIsUnset<HENHMETAFILE> {
    static void Close(Handle handle) { ::DeleteEnhMetaFile(handle); }
};
using TMetaFile = TUniqueHandle<MetaFileTraits>;

struct RegistryKeyTraits : ZeroIsUnset<HKEY> {
    static void Close(Handle handle) { ::RegCloseKey(handle); }
};
using TRegistryKey = TUniqueHandle<RegistryKeyTraits>;

struct DdeInstanceTraits : ZeroIsUnset<DWORD> {
    static void Close(Handle handle) { ::DdeUninitialize(handle); }
};
using TDdeInstance = TUniqueHandle<DdeInstanceTraits>;

// A DDE string handle is freed through the instance that created it; reset it
// before that instance.
struct DdeString {
    DWORD Instance;
    HSZ String;
};
struct DdeStringTraits {
    using Handle = DdeString;
    static Handle Invalid() { return {0, nullptr}; }
    static bool IsValid(Handle handle) { return handle.String != nullptr; }
    static void Close(Handle handle) { ::DdeFreeStringHandle(handle.Instance, handle.String); }
};
using TDdeString = TUniqueHandle<DdeStringTraits>;
