// operator new and delete on the process heap. A failed allocation cannot
// unwind (there are no exceptions): it ends the program.
#include "shell/runtime/Runtime.h"

#include <windows.h>

#include <cstddef>
#include <new>

namespace {
void* Allocate(std::size_t size)
{
    // A request of 0 bytes still gets a distinct block.
    void* block = ::HeapAlloc(::GetProcessHeap(), 0, size ? size : 1);
    if (!block) EndAfterRuntimeFailure(RuntimeFailure::OutOfMemory);
    return block;
}

void Release(void* block)
{
    if (block) ::HeapFree(::GetProcessHeap(), 0, block);
}
}

void* operator new(std::size_t size) { return Allocate(size); }
void* operator new[](std::size_t size) { return Allocate(size); }
void operator delete(void* block) noexcept { Release(block); }
void operator delete[](void* block) noexcept { Release(block); }
void operator delete(void* block, std::size_t) noexcept { Release(block); }
void operator delete[](void* block, std::size_t) noexcept { Release(block); }
