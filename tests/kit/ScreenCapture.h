#pragma once
#include <windows.h>

#include <vector>

// The pixels of a window's client area as they are on the screen (copied
// from the screen's device context, so it works for windows of any process).
class ClientCapture {
public:
    explicit ClientCapture(HWND window);

    bool Valid() const { return !Pixels.empty(); }
    int Width() const { return W; }
    int Height() const { return H; }
    COLORREF At(int x, int y) const;
    // How many pixels of the rectangle (client coordinates, right and bottom
    // excluded) differ from the colour.
    int CountDiffering(const RECT& area, COLORREF colour) const;
    bool operator==(const ClientCapture& other) const
    {
        return W == other.W && H == other.H && Pixels == other.Pixels;
    }

private:
    int W = 0;
    int H = 0;
    std::vector<COLORREF> Pixels;
};

// Raises the window to the top and captures once it has painted and the
// screen has caught up: until two captures 100 ms apart are the same (or the
// time is up).
ClientCapture CaptureWhenSettled(HWND window, DWORD timeoutMs = 3000);
