#include "front/EngineLibrary.h"

#include "launcher/plain/LaunchPlan.h"
#include "shell/BuildVariant.h"
#include "shell/LauncherNotification.h"
#include "shell/plain/MessageTable.h"
#include "shell/plain/Settings.h"

namespace {
// The engine comes off a floppy at some 45,000 bytes a second once the
// launcher sees the window; a minute covers a slow disk's retries.
constexpr DWORD kEngineWaitMs = 60000;

bool IsThere(const char* path)
{
    return ::GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES;
}

// Waits for the launcher to give the file its name (it expands it under a
// scratch name first) while the launcher is there, messages dispatched: the
// window stays painted and its commands answer (they do nothing while a
// command waits).
bool WaitForFile(const char* path)
{
    const DWORD start = ::GetTickCount();
    while (!IsThere(path)) {
        if (!LauncherStillThere() || ::GetTickCount() - start > kEngineWaitMs) return false;
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 100, QS_ALLINPUT);
        MSG msg;
        while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            // The loop's end is left to the message loop it belongs to.
            if (msg.message == WM_QUIT) {
                ::PostQuitMessage(static_cast<int>(msg.wParam));
                return false;
            }
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
        }
    }
    return true;
}
}

TEngineLibrary::~TEngineLibrary()
{
    if (Module) ::FreeLibrary(Module);
}

int TEngineLibrary::Load(const char* path, bool wait)
{
    if (!path || !(IsThere(path) || (wait && WaitForFile(path)))) return MsgFileNotFound;
    Module = ::LoadLibraryA(path);
    if (Module) Main = reinterpret_cast<EngineEntry>(reinterpret_cast<void*>(::GetProcAddress(Module, EngineEntryName)));
    return Main ? 0 : MsgFileReadError;
}

const char* EngineName()
{
    return EngineFileName(IsNtBuild ? InstallerBuildChoice::WindowsNt : InstallerBuildChoice::Windows95);
}

const char* EnginePath()
{
    return JoinPath(ProgramDirectory, EngineName(), 0);
}
