#pragma once

// The base of a class that owns a handle, a thread or a hook: neither copied
// nor assigned.
class NoCopy {
public:
    NoCopy(const NoCopy&) = delete;
    NoCopy& operator=(const NoCopy&) = delete;

protected:
    NoCopy() = default;
    ~NoCopy() = default;
};
