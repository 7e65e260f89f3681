#pragma once
#include <windows.h>

#include <string>
#include <vector>

// Stands in for the help viewer: Wine's WinHelpA looks for a top-level window
// of class "MS_WINHELP" and sends it the request as WM_COPYDATA (starting
// winhlp32 only when there is none), so a window of that class on the test's
// desktop receives every help request of this process instead.
class HelpViewerStandIn {
public:
    struct Request {
        HWND Caller = nullptr;
        unsigned Command = 0;
        long Context = 0;
        std::string File;
    };

    HelpViewerStandIn()
    {
        WNDCLASSA windowClass = {};
        windowClass.lpfnWndProc = &HelpViewerStandIn::Procedure;
        windowClass.hInstance = ::GetModuleHandleA(nullptr);
        windowClass.lpszClassName = "MS_WINHELP";
        ::RegisterClassA(&windowClass);
        Window = ::CreateWindowA("MS_WINHELP", "Help stand-in", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                 windowClass.hInstance, nullptr);
        ::SetWindowLongPtrA(Window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    }

    ~HelpViewerStandIn()
    {
        ::DestroyWindow(Window);
        ::UnregisterClassA("MS_WINHELP", ::GetModuleHandleA(nullptr));
    }

    HelpViewerStandIn(const HelpViewerStandIn&) = delete;
    HelpViewerStandIn& operator=(const HelpViewerStandIn&) = delete;

    // Whether WinHelpA would reach this window rather than a real viewer.
    bool IsTheViewer() const { return ::FindWindowA("MS_WINHELP", nullptr) == Window; }

    std::vector<Request> Requests;

private:
    // Wine's request block (the Windows 95 layout).
    struct WinHelpBlock {
        WORD Size;
        WORD Command;
        LONG Data;
        LONG Reserved;
        WORD FileNameOffset;
        WORD DataOffset;
    };
    static constexpr ULONG_PTR Magic = 0xA1DE505;

    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
    {
        if (message == WM_COPYDATA) {
            auto* self = reinterpret_cast<HelpViewerStandIn*>(::GetWindowLongPtrA(window, GWLP_USERDATA));
            auto* data = reinterpret_cast<COPYDATASTRUCT*>(lParam);
            if (self && data && data->dwData == Magic && data->cbData >= sizeof(WinHelpBlock)) {
                auto* block = static_cast<const WinHelpBlock*>(data->lpData);
                Request request;
                request.Caller = reinterpret_cast<HWND>(wParam);
                request.Command = block->Command;
                request.Context = block->Data;
                if (block->FileNameOffset) request.File = static_cast<const char*>(data->lpData) + block->FileNameOffset;
                self->Requests.push_back(request);
                return TRUE;
            }
        }
        return ::DefWindowProcA(window, message, wParam, lParam);
    }

    HWND Window = nullptr;
};
