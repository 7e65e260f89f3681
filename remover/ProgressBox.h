#pragma once
#include <windows.h>

// The removal's progress window, as the installer's: its title and one line
// ("Removing TSW.EXE . . ."), painted at once on each change, since the
// removal pumps no messages while it works. Centred on the screen; gone
// with the object.
class ProgressBox {
public:
    explicit ProgressBox(const char* title);
    ~ProgressBox();
    ProgressBox(const ProgressBox&) = delete;
    ProgressBox& operator=(const ProgressBox&) = delete;

    void Show(const char* text);
    // The owner of the boxes shown meanwhile; null when it could not be made.
    HWND Handle() const { return Window; }

private:
    HWND Window = nullptr;
    HWND Line = nullptr;
};
