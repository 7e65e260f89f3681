// NT 3.51 does not honour the run-from-swap flag in the header (NT 4.0 is
// the first to): it pages SETUP.EXE in from disk 1 as it needs it, and a page
// read again once disk 2 is in the drive ends the launcher with an in-page
// error instead of its clean-up. Every page of the image is therefore read
// in (touched) and locked before the installer starts. SETUP.EXE is a few
// pages, well within the working set a process may lock.
//
// VirtualLock is a stub on Windows 95: it has no effect and reports success.
// Doing nothing there is fine: the lock is for NT 3.51's paging, the pages
// are read in all the same, and the launcher runs on Windows 95 as it did
// without the lock. A lock the system refuses (more than the working set
// allows) changes nothing either: the lock is a precaution, never a
// condition for starting the installer.
#include "launcher/ResidentImage.h"

#include <windows.h>

namespace {
constexpr SIZE_T PageSize = 4096;  // the 386's
}

void KeepOwnImageResident()
{
    const HMODULE module = ::GetModuleHandleA(nullptr);
    const BYTE* base = reinterpret_cast<const BYTE*>(module);
    const IMAGE_DOS_HEADER* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const IMAGE_NT_HEADERS* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const BYTE* const end = base + nt->OptionalHeader.SizeOfImage;
    // The image's regions one after the other: each committed, readable one
    // read page by page, then locked.
    MEMORY_BASIC_INFORMATION region;
    for (const BYTE* address = base;
         address < end && ::VirtualQuery(address, &region, sizeof region) == sizeof region;
         address = static_cast<const BYTE*>(region.BaseAddress) + region.RegionSize) {
        if (region.State != MEM_COMMIT || (region.Protect & (PAGE_NOACCESS | PAGE_GUARD))) continue;
        const volatile BYTE* page = static_cast<const BYTE*>(region.BaseAddress);
        for (SIZE_T offset = 0; offset < region.RegionSize; offset += PageSize) (void)page[offset];
        ::VirtualLock(region.BaseAddress, region.RegionSize);
    }
}
