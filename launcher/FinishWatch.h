#pragma once
#include <windows.h>

// The launcher's own top-level window, never shown, whose handle goes on the
// installer's command line: it records the installer's finishing
// notification (message 1074). The Windows 95 build posts it twice, to two
// forms of the handle; one arrival is as good as two.
class FinishWatch {
public:
    FinishWatch();
    ~FinishWatch();
    FinishWatch(const FinishWatch&) = delete;
    FinishWatch& operator=(const FinishWatch&) = delete;

    HWND Handle() const { return Window; }
    bool Finished() const { return Told; }
    // Dispatches messages until the process has ended, then those it posted
    // before it ended. `onMainWindow`, when given, is called once, as soon as
    // the installer's main window is there (looked for every 100 ms).
    void WaitFor(HANDLE process, void (*onMainWindow)(void* context) = nullptr, void* context = nullptr);

private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static void Dispatch();

    HWND Window = nullptr;
    bool Told = false;
};
