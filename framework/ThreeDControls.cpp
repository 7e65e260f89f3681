#include "framework/ThreeDControls.h"

namespace {
using RegisterFunction = BOOL(WINAPI*)(HINSTANCE);

template <typename Function>
Function LibraryFunction(HMODULE library, const char* name)
{
    return reinterpret_cast<Function>(reinterpret_cast<void*>(::GetProcAddress(library, name)));
}
}

bool TThreeDControls::NeedsLibrary(DWORD platformVersion)
{
    return LOBYTE(LOWORD(platformVersion)) < 4;
}

bool TThreeDControls::Enable(HINSTANCE instance, DWORD platformVersion)
{
    if (Library || !NeedsLibrary(platformVersion)) return Library != nullptr;
    Library = ::LoadLibraryA("CTL3D32.DLL");
    if (!Library) return false;
    auto registerApp = LibraryFunction<RegisterFunction>(Library, "Ctl3dRegister");
    auto autoSubclass = LibraryFunction<RegisterFunction>(Library, "Ctl3dAutoSubclass");
    if (!registerApp || !registerApp(instance)) {
        ::FreeLibrary(Library);
        Library = nullptr;
        return false;
    }
    Registered = instance;
    if (autoSubclass) autoSubclass(instance);
    return true;
}

void TThreeDControls::Disable()
{
    if (!Library) return;
    if (Registered) {
        auto unregister = LibraryFunction<RegisterFunction>(Library, "Ctl3dUnregister");
        if (unregister) unregister(Registered);
        Registered = nullptr;
    }
    ::FreeLibrary(Library);
    Library = nullptr;
}
