#pragma once
#include <windows.h>

// A device context handed to painting code. It does not own the handle;
// TScreenDC below does.
class TDC {
public:
    explicit TDC(HDC handle) : Handle(handle) {}
    TDC(const TDC&) = delete;
    TDC& operator=(const TDC&) = delete;
    virtual ~TDC() = default;

    HDC GetHandle() const { return Handle; }
    bool IsValid() const { return Handle != nullptr; }

    int SaveDC() { return ::SaveDC(Handle); }
    bool RestoreDC(int saved) { return ::RestoreDC(Handle, saved) != 0; }
    int SetBkMode(int mode) { return ::SetBkMode(Handle, mode); }
    COLORREF SetTextColor(COLORREF colour) { return ::SetTextColor(Handle, colour); }
    COLORREF SetBkColor(COLORREF colour) { return ::SetBkColor(Handle, colour); }
    UINT SetTextAlign(UINT align) { return ::SetTextAlign(Handle, align); }
    bool WriteText(int x, int y, const char* text, int length);
    // The same, clipped to `box`, which is filled with the background colour
    // first (text or not).
    bool WriteTextIn(const RECT& box, int x, int y, const char* text, int length)
    {
        return ::ExtTextOutA(Handle, x, y, ETO_OPAQUE | ETO_CLIPPED, &box, text, static_cast<UINT>(length), nullptr);
    }
    bool PlayEnhMetaFile(HENHMETAFILE picture, const RECT& rect);
    int GetDeviceCaps(int index) const { return ::GetDeviceCaps(Handle, index); }
    bool GetFontMetrics(TEXTMETRICA& metrics) const;

protected:
    HDC Handle;
};

// A device context for the whole screen, released when it goes out of scope.
class TScreenDC : public TDC {
public:
    TScreenDC() : TDC(::GetDC(nullptr)) {}
    ~TScreenDC() override { if (Handle) ::ReleaseDC(nullptr, Handle); }
};
