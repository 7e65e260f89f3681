#pragma once
#include <windows.h>

#include "shell/EngineHandOver.h"

// The engine file beside the front (shell/EngineHandOver.h), loaded. The
// library stays loaded for the rest of the process once its entry is called.
class TEngineLibrary {
public:
    TEngineLibrary() = default;
    TEngineLibrary(const TEngineLibrary&) = delete;
    TEngineLibrary& operator=(const TEngineLibrary&) = delete;
    ~TEngineLibrary();

    // Loads the engine at `path`. In an attended run SETUP.EXE expands it
    // from disk 1 once the main window shows: `wait` waits for it while the
    // launcher is there, for a bounded time, dispatching messages. 0 when
    // loaded; otherwise the report's number: MsgFileNotFound when the file
    // is not there, MsgFileReadError when it is no engine the platform loads.
    int Load(const char* path, bool wait);
    EngineEntry Entry() const { return Main; }

private:
    HMODULE Module = nullptr;
    EngineEntry Main = nullptr;
};

// The path of this build's engine in the front's folder, or null when it
// does not fit.
const char* EnginePath();
// Its file name, as a report names it.
const char* EngineName();
