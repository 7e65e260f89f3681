#include "framework/Window.h"

#include "framework/BoxInFront.h"
#include "framework/DeviceContext.h"

HINSTANCE ModuleInstance()
{
    return ::GetModuleHandleA(nullptr);
}

TWindow::TWindow(TWindow* parent, const char* title)
    : Parent(parent), Title(title ? title : "")
{
}

TWindow::~TWindow()
{
    if (Handle) {
        // The object is going away: later messages of the platform window go
        // to the default procedure, not to a half-destroyed object.
        HWND handle = Handle;
        DetachHandle();
        ::DestroyWindow(handle);
    }
}

const char* TWindow::ClassName() const
{
    return "TsWindow";
}

bool TWindow::RegisterClassFor(const char* className)
{
    WNDCLASSA existing;
    if (::GetClassInfoA(ModuleInstance(), className, &existing)) return true;
    WNDCLASSA wc = {};
    wc.lpfnWndProc = &TWindow::WindowProc;
    wc.hInstance = ModuleInstance();
    wc.hCursor = ::LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_WINDOW + 1));
    wc.lpszClassName = className;
    return ::RegisterClassA(&wc) != 0;
}

bool TWindow::Create()
{
    if (Handle) return true;
    const char* className = ClassName();
    if (!RegisterClassFor(className)) return false;
    HWND owner = Parent ? Parent->GetHandle() : nullptr;
    HWND created = ::CreateWindowExA(Attr.ExStyle, className, Title.c_str(), Attr.Style,
                                     Attr.X, Attr.Y, Attr.W, Attr.H, owner, CreationMenu(),
                                     ModuleInstance(), this);
    return created != nullptr;
}

bool TWindow::Adopt(HWND handle)
{
    if (Handle || !::IsWindow(handle)) return false;
    AttachHandle(handle);
    return true;
}

void TWindow::Destroy()
{
    if (Handle) ::DestroyWindow(Handle);
}

int TWindow::ShowMessage(const char* text, const char* title, UINT type)
{
    if (!title) title = TopLevelWindow().GetTitle();
    TBoxInFront inFront(type);
    return ::MessageBoxA(Handle, text, title, type);
}

const TWindow& TWindow::TopLevelWindow() const
{
    const TWindow* window = this;
    while (window->Parent) window = window->Parent;
    return *window;
}

void TWindow::Paint(TDC&, bool, const RECT&)
{
}

void TWindow::AddCommand(int id, std::function<void()> handler)
{
    Commands.emplace_back(id, std::move(handler));
}

bool TWindow::DispatchCommand(int id)
{
    for (auto& entry : Commands) {
        if (entry.first == id) {
            entry.second();
            return true;
        }
    }
    return false;
}

void TWindow::AttachHandle(HWND handle)
{
    Handle = handle;
    ::SetWindowLongPtrA(handle, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

void TWindow::DetachHandle()
{
    if (Handle) ::SetWindowLongPtrA(Handle, GWLP_USERDATA, 0);
    Handle = nullptr;
}

TWindow* TWindow::FromHandle(HWND handle)
{
    return reinterpret_cast<TWindow*>(::GetWindowLongPtrA(handle, GWLP_USERDATA));
}

LRESULT TWindow::DefaultProcessing(UINT message, WPARAM wParam, LPARAM lParam)
{
    return ::DefWindowProcA(Handle, message, wParam, lParam);
}

LRESULT TWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        SetupWindow();
        return 0;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC hdc = ::BeginPaint(Handle, &ps);
        {
            TDC dc(hdc);
            Paint(dc, ps.fErase != FALSE, ps.rcPaint);
        }
        ::EndPaint(Handle, &ps);
        return 0;
    }
    case WM_COMMAND:
        if (DispatchCommand(LOWORD(wParam))) return 0;
        break;
    default:
        break;
    }
    return DefaultProcessing(message, wParam, lParam);
}

LRESULT CALLBACK TWindow::WindowProc(HWND handle, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
        auto* window = static_cast<TWindow*>(create->lpCreateParams);
        if (window) window->AttachHandle(handle);
    }
    TWindow* window = FromHandle(handle);
    if (!window) return ::DefWindowProcA(handle, message, wParam, lParam);
    LRESULT result = window->HandleMessage(message, wParam, lParam);
    if (message == WM_NCDESTROY) window->DetachHandle();
    return result;
}
