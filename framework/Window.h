#pragma once
#include <windows.h>
#include <functional>
#include <string>
#include <vector>

class TDC;

// Creation attributes, set before Create().
struct TWindowAttr {
    DWORD Style = WS_OVERLAPPEDWINDOW;
    DWORD ExStyle = 0;
    int X = CW_USEDEFAULT;
    int Y = CW_USEDEFAULT;
    int W = CW_USEDEFAULT;
    int H = CW_USEDEFAULT;
};

// The generic window: owns one platform window, created explicitly and
// destroyed explicitly or by the destructor. Every message of a TWindow's
// platform window arrives at HandleMessage() of its object.
class TWindow {
public:
    TWindow(TWindow* parent, const char* title);
    TWindow(const TWindow&) = delete;
    TWindow& operator=(const TWindow&) = delete;
    virtual ~TWindow();

    // Creates the platform window from Attr; false when the platform refuses.
    virtual bool Create();
    // Takes over a platform window that an object of this process's other
    // module made and showed: its messages reach this object from then on
    // (SetupWindow is not called again). The window procedure of either
    // module serves it: both are built from these headers with the same
    // flags, so the objects' layouts agree. False when this object already
    // has a window or `handle` is none.
    bool Adopt(HWND handle);
    void Destroy();

    HWND GetHandle() const { return Handle; }
    TWindow* GetParent() const { return Parent; }
    const char* GetTitle() const { return Title.c_str(); }
    // The window at the end of the parent chain (this one when it has none).
    const TWindow& TopLevelWindow() const;

    // The application's message box, owned by this window; without a title it
    // carries the title of the top-level window this one belongs to.
    int ShowMessage(const char* text, const char* title = nullptr, UINT type = MB_OK);

    TWindowAttr Attr;

protected:
    // Called once the platform window exists; overrides call the base first.
    virtual void SetupWindow() {}
    virtual void Paint(TDC& dc, bool erase, const RECT& rect);
    virtual LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    virtual const char* ClassName() const;
    virtual HMENU CreationMenu() { return nullptr; }

    // Response table: command id to handler.
    void AddCommand(int id, std::function<void()> handler);
    bool DispatchCommand(int id);

    // The object of a platform window lives in its GWLP_USERDATA, for plain
    // windows and dialogs alike.
    void AttachHandle(HWND handle);
    void DetachHandle();
    static TWindow* FromHandle(HWND handle);
    LRESULT DefaultProcessing(UINT message, WPARAM wParam, LPARAM lParam);

private:
    static LRESULT CALLBACK WindowProc(HWND handle, UINT message, WPARAM wParam, LPARAM lParam);
    static bool RegisterClassFor(const char* className);

    HWND Handle = nullptr;
    TWindow* Parent;
    std::string Title;
    std::vector<std::pair<int, std::function<void()>>> Commands;
};

HINSTANCE ModuleInstance();
