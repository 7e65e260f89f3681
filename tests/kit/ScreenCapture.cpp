#include "tests/kit/ScreenCapture.h"

#include <algorithm>

ClientCapture::ClientCapture(HWND window)
{
    RECT client = {};
    if (!::GetClientRect(window, &client)) return;
    POINT origin = {0, 0};
    ::ClientToScreen(window, &origin);
    W = client.right;
    H = client.bottom;
    if (W <= 0 || H <= 0) return;

    HDC screen = ::GetDC(nullptr);
    HDC memory = ::CreateCompatibleDC(screen);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = W;
    info.bmiHeader.biHeight = -H;  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = ::CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (bitmap && bits) {
        HGDIOBJ old = ::SelectObject(memory, bitmap);
        if (::BitBlt(memory, 0, 0, W, H, screen, origin.x, origin.y, SRCCOPY)) {
            ::GdiFlush();
            const auto* source = static_cast<const DWORD*>(bits);
            Pixels.resize(static_cast<std::size_t>(W) * H);
            for (std::size_t i = 0; i < Pixels.size(); ++i) {
                DWORD bgr = source[i];  // 0x00RRGGBB in memory order B, G, R
                Pixels[i] = RGB((bgr >> 16) & 0xFF, (bgr >> 8) & 0xFF, bgr & 0xFF);
            }
        }
        ::SelectObject(memory, old);
        ::DeleteObject(bitmap);
    }
    ::DeleteDC(memory);
    ::ReleaseDC(nullptr, screen);
}

COLORREF ClientCapture::At(int x, int y) const
{
    if (x < 0 || y < 0 || x >= W || y >= H || Pixels.empty()) return CLR_INVALID;
    return Pixels[static_cast<std::size_t>(y) * W + x];
}

int ClientCapture::CountDiffering(const RECT& area, COLORREF colour) const
{
    int count = 0;
    for (int y = std::max<LONG>(area.top, 0); y < std::min<LONG>(area.bottom, H); ++y)
        for (int x = std::max<LONG>(area.left, 0); x < std::min<LONG>(area.right, W); ++x)
            if (At(x, y) != colour) ++count;
    return count;
}

ClientCapture CaptureWhenSettled(HWND window, DWORD timeoutMs)
{
    // The screen shows what is on top: bring the window there first.
    ::SetWindowPos(window, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    DWORD start = ::GetTickCount();
    ClientCapture last(window);
    for (;;) {
        ::Sleep(100);
        ClientCapture next(window);
        if (next == last || ::GetTickCount() - start >= timeoutMs) return next;
        last = next;
    }
}
