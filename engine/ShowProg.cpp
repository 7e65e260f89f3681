#include "engine/ShowProg.h"

#include "engine/plain/RunProgress.h"
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
    // The bar and the text cover the whole client area: nothing to erase
    // where it is shown.
    ::InvalidateRect(GetHandle(), nullptr, BarWidth < 0);
    ::UpdateWindow(GetHandle());
}

namespace {
// The steps of the bar's width by which it moves within a file.
constexpr int kBarSteps = 100;
}

int TShowProg::BarFor(unsigned long long done, unsigned long long total) const
{
    RECT client = {};
    if (total == 0 || !GetHandle() || !::GetClientRect(GetHandle(), &client)) return -1;
    return RunProgress::ShareOf(done, total, client.right);
}

void TShowProg::SetShare(unsigned long long done, unsigned long long total, Repaint repaint)
{
    const int bar = BarFor(done, total);
    if (bar == BarWidth) return;
    // Within a file the bar moves a step at a time: each repaint costs about
    // as much as a small file's whole expansion.
    RECT client = {};
    ::GetClientRect(GetHandle(), &client);
    const bool small = BarWidth >= 0 && bar > BarWidth && bar < client.right && bar - BarWidth < client.right / kBarSteps;
    if (repaint == Repaint::ByStep && small) return;
    BarWidth = bar;
    if (repaint == Repaint::Later) return;
    ::InvalidateRect(GetHandle(), nullptr, FALSE);
    ::UpdateWindow(GetHandle());
}

void TShowProg::Paint(TDC& dc, bool, const RECT&)
{
    const int length = static_cast<int>(std::strlen(Text));
    dc.SetTextAlign(TA_LEFT | TA_TOP);
    if (BarWidth >= 0) {
        // The done part in the system's highlight colours, the rest as the
        // window is; the text runs across both.
        RECT done = {};
        ::GetClientRect(GetHandle(), &done);
        RECT rest = done;
        done.right = rest.left = BarWidth;
        dc.SetTextColor(::GetSysColor(COLOR_HIGHLIGHTTEXT));
        dc.SetBkColor(::GetSysColor(COLOR_HIGHLIGHT));
        dc.WriteTextIn(done, TextX, TextY, Text, length);
        dc.SetTextColor(DisplayMetrics.WindowTextColor);
        dc.SetBkColor(DisplayMetrics.WindowColor);
        dc.WriteTextIn(rest, TextX, TextY, Text, length);
        return;
    }
    if (length == 0) return;
    dc.SetTextColor(DisplayMetrics.WindowTextColor);
    dc.SetBkColor(DisplayMetrics.WindowColor);
    dc.WriteText(TextX, TextY, Text, length);
}
