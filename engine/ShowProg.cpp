#include "engine/ShowProg.h"

#include "framework/DeviceContext.h"
#include "shell/DisplayMetrics.h"
#include "shell/plain/PathHelpers.h"

#include <cstring>

RECT ProgressWindowRect(int anchorX, int anchorY)
{
    int width = 2 * ::GetSystemMetrics(SM_CXDLGFRAME) + 4 * DisplayMetrics.PixelsPerInchX;
    int height = ::GetSystemMetrics(SM_CYCAPTION) + 2 * ::GetSystemMetrics(SM_CYDLGFRAME) +
                 DisplayMetrics.CharHeight + 3 * DisplayMetrics.LineGap;
    RECT rect;
    rect.left = anchorX - width;
    rect.top = anchorY - height / 2;
    rect.right = rect.left + width;
    rect.bottom = rect.top + height;
    return rect;
}

TShowProg::TShowProg(TWindow* parent, int x, int y, const char* caption)
    : TWindow(parent, caption)
{
    RECT rect = ProgressWindowRect(x, y);
    Attr.Style = WS_POPUP | WS_VISIBLE | WS_CAPTION;
    Attr.X = rect.left;
    Attr.Y = rect.top;
    Attr.W = rect.right - rect.left;
    Attr.H = rect.bottom - rect.top;
    TextX = DisplayMetrics.CharWidth;
    TextY = DisplayMetrics.LineGap;
    Text[0] = '\0';
}

void TShowProg::SetText(const char* text)
{
    CopyBounded(Text, sizeof Text, text);
    // A null window would repaint the whole desktop.
    if (!GetHandle()) return;
    ::InvalidateRect(GetHandle(), nullptr, TRUE);
    ::UpdateWindow(GetHandle());
}

void TShowProg::Paint(TDC& dc, bool, const RECT&)
{
    if (Text[0] == '\0') return;
    dc.SetTextColor(DisplayMetrics.WindowTextColor);
    dc.SetBkColor(DisplayMetrics.WindowColor);
    dc.SetTextAlign(TA_LEFT | TA_TOP);
    dc.WriteText(TextX, TextY, Text, static_cast<int>(std::strlen(Text)));
}
