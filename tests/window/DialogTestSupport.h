#pragma once
// Helpers for the dialog tests: reading and driving a dialog's controls from
// the box watcher's thread while the dialog runs modally on the test thread,
// and a stand-in for the help viewer.
#include <windows.h>

#include "framework/Application.h"
#include "shell/InstallWindow.h"
#include "shell/plain/Settings.h"
#include "tests/kit/BoxWatcher.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace dialogtest {

// The installer's main window as the dialogs' owner, with the settings at
// their start-up values and the source drive as the launcher gave it.
class DialogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetSettings();
        SourceDrive[0] = 'A';
        SourceDrive[1] = '\0';
        App = std::make_unique<TApplication>();
        Window = new TInstallWindow(nullptr, MainWindowTitle);
        App->SetMainWindow(std::unique_ptr<TFrameWindow>(Window));
        ASSERT_TRUE(Window->Create());
        // Whatever an options file on the test machine said, start from the defaults.
        ResetSettings();
    }

    void TearDown() override
    {
        App.reset();
        ResetSettings();
    }

    std::unique_ptr<TApplication> App;
    TInstallWindow* Window = nullptr;
};

// The "title|text" lines of the message boxes seen, leaving out the dialogs
// under test (whose first label, id -1, reads as a box text).
inline std::vector<std::string> MessageBoxes(const BoxWatcher& boxes)
{
    static const char* const dialogTitles[] = {"Tessaryn 3.0 Local Drive Installation",
                                               "Tessaryn 3.0 Network Drive Installation", "Maintenance Update"};
    std::vector<std::string> lines;
    for (const BoxWatcher::Box& box : boxes.Seen()) {
        bool dialog = false;
        for (const char* title : dialogTitles) dialog = dialog || box.Title == title;
        if (!dialog) lines.push_back(box.Title + "|" + box.Text);
    }
    return lines;
}

inline std::string ItemText(HWND dialog, int id)
{
    char text[512] = {};
    ::SendDlgItemMessageA(dialog, id, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
    return text;
}

inline void SetItemText(HWND dialog, int id, const char* text)
{
    ::SendDlgItemMessageA(dialog, id, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
}

inline bool Checked(HWND dialog, int id)
{
    return ::SendDlgItemMessageA(dialog, id, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

inline void SetCheck(HWND dialog, int id, bool checked)
{
    ::SendDlgItemMessageA(dialog, id, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

// Types text into an edit control key by key, as the keyboard would.
inline void Type(HWND dialog, int id, const std::string& text)
{
    HWND edit = ::GetDlgItem(dialog, id);
    for (char c : text) ::SendMessageA(edit, WM_CHAR, static_cast<unsigned char>(c), 1);
}

inline LONG_PTR Style(HWND dialog, int id)
{
    return ::GetWindowLongPtrA(::GetDlgItem(dialog, id), GWL_STYLE);
}

inline std::string ClassOf(HWND window)
{
    char name[64] = {};
    ::GetClassNameA(window, name, sizeof name);
    return name;
}

// The ids met by pressing Tab from the first control until the cycle closes.
inline std::vector<int> TabOrder(HWND dialog, int first)
{
    std::vector<int> order;
    HWND control = ::GetDlgItem(dialog, first);
    for (int i = 0; control && i < 20; ++i) {
        order.push_back(::GetDlgCtrlID(control));
        control = ::GetNextDlgTabItem(dialog, control, FALSE);
        if (control == ::GetDlgItem(dialog, first)) break;
    }
    return order;
}

// A control's rectangle in the dialog's client coordinates.
inline RECT ItemRect(HWND dialog, int id)
{
    RECT rect;
    ::GetWindowRect(::GetDlgItem(dialog, id), &rect);
    ::MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

// A rectangle given in dialog units, in the dialog's pixels, converted as the
// dialog manager places a control: position and size each on its own (so a
// size of 19.5 pixels is 20 wherever the control stands).
inline RECT DialogUnits(HWND dialog, int x, int y, int width, int height)
{
    RECT rect = {x, y, width, height};
    ::MapDialogRect(dialog, &rect);
    rect.right += rect.left;
    rect.bottom += rect.top;
    return rect;
}

// Whether the window sits in the middle of the screen (to the pixel, as the
// centring truncates).
inline bool CentredOnScreen(HWND window)
{
    RECT rect;
    ::GetWindowRect(window, &rect);
    int width = rect.right - rect.left;
    int height = rect.bottom - rect.top;
    return rect.left == (::GetSystemMetrics(SM_CXSCREEN) - width) / 2 &&
           rect.top == (::GetSystemMetrics(SM_CYSCREEN) - height) / 2;
}

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

}  // namespace dialogtest
