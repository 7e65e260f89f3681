#pragma once
#include <windows.h>

// Optional three-dimensional dialog controls. Before platform version 4.0 the
// look comes from CTL3D32.DLL; from 4.0 on the platform draws it itself and
// nothing is loaded.
class TThreeDControls {
public:
    TThreeDControls() = default;
    TThreeDControls(const TThreeDControls&) = delete;
    TThreeDControls& operator=(const TThreeDControls&) = delete;
    ~TThreeDControls() { Disable(); }

    // Returns whether the library was loaded and the application registered.
    bool Enable(HINSTANCE instance, DWORD platformVersion);
    void Disable();
    bool IsLoaded() const { return Library != nullptr; }

    // True when a version as returned by GetVersion() is below 4.0.
    static bool NeedsLibrary(DWORD platformVersion);

private:
    HMODULE Library = nullptr;
    HINSTANCE Registered = nullptr;
};
