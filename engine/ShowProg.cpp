#include "engine/ShowProg.h"

#include "engine/plain/RunProgress.h"
#include "framework/DeviceContext.h"
#include "shell/DisplayMetrics.h"
#include "shell/plain/FormatText.h"
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

namespace {
// Whether two rectangles share a pixel.
bool Overlap(const RECT& a, const RECT& b)
{
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

bool Within(const RECT& inner, const RECT& outer)
{
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom;
}

RECT Inset(RECT rect, int by)
{
    rect.left += by;
    rect.top += by;
    rect.right -= by;
    rect.bottom -= by;
    return rect;
}
}

RECT TShowProg::GetGaugeFrame() const
{
    RECT client = {};
    if (GetHandle()) ::GetClientRect(GetHandle(), &client);
    // A third of the line at its right, as far in from the edge as the text
    // is, and as high as the text line: the percent fits in its track.
    RECT frame;
    frame.right = client.right - TextX;
    frame.left = frame.right - client.right / 3;
    frame.top = TextY;
    frame.bottom = client.bottom - TextY;
    return frame;
}

RECT TShowProg::TextBox() const
{
    RECT box = {};
    if (GetHandle()) ::GetClientRect(GetHandle(), &box);
    // A long name is cut short of the gauge.
    if (BarWidth >= 0) box.right = GetGaugeFrame().left - TextX / 2;
    return box;
}

void TShowProg::SetText(const char* text)
{
    CopyBounded(Text, sizeof Text, text);
    // A null window would repaint the whole desktop.
    if (!GetHandle()) return;
    // Beside the gauge the text fills its own box; alone it has the whole
    // line, erased first.
    if (BarWidth >= 0) {
        const RECT box = TextBox();
        ::InvalidateRect(GetHandle(), &box, FALSE);
    } else {
        ::InvalidateRect(GetHandle(), nullptr, TRUE);
    }
    ::UpdateWindow(GetHandle());
}

void TShowProg::SetShare(unsigned long long done, unsigned long long total, Repaint repaint)
{
    if (!GetHandle()) return;
    const RECT track = Inset(GetGaugeFrame(), 1);
    if (track.right <= track.left) total = 0;
    const int bar = RunProgress::ShareOf(done, total, track.right - track.left);
    const int percent = RunProgress::PercentOf(done, total);
    if (bar == BarWidth && percent == Percent) return;
    // Within a file the gauge moves a percent at a time: each repaint costs
    // about as much as a small file's whole expansion.
    if (repaint == Repaint::ByStep && percent == Percent) return;
    // A gauge that comes or goes changes the text's room as well.
    const bool whole = (bar < 0) != (BarWidth < 0);
    BarWidth = bar;
    Percent = percent;
    ::InvalidateRect(GetHandle(), whole ? nullptr : &track, whole);
    if (repaint == Repaint::Later) return;
    ::UpdateWindow(GetHandle());
}

void TShowProg::Paint(TDC& dc, bool, const RECT& rect)
{
    const int length = static_cast<int>(std::strlen(Text));
    dc.SetTextAlign(TA_LEFT | TA_TOP);
    dc.SetTextColor(DisplayMetrics.WindowTextColor);
    dc.SetBkColor(DisplayMetrics.WindowColor);
    if (BarWidth < 0) {
        if (length > 0) dc.WriteText(TextX, TextY, Text, length);
        return;
    }
    const RECT box = TextBox();
    if (Overlap(box, rect)) dc.WriteTextIn(box, TextX, TextY, Text, length);
    // A new file's text alone leaves the gauge as it is.
    if (!Within(rect, box)) PaintGauge(dc, rect);
}

void TShowProg::PaintGauge(TDC& dc, const RECT& rect) const
{
    const RECT frame = GetGaugeFrame();
    const RECT track = Inset(frame, 1);
    // The frame only where the repaint reaches past the track: a step
    // repaints the track alone.
    if (Overlap(frame, rect) && !Within(rect, track)) {
        const RECT sides[] = {
            {frame.left, frame.top, frame.right, track.top},
            {frame.left, track.bottom, frame.right, frame.bottom},
            {frame.left, track.top, track.left, track.bottom},
            {track.right, track.top, frame.right, track.bottom},
        };
        dc.SetBkColor(::GetSysColor(COLOR_WINDOWFRAME));
        for (const RECT& side : sides) dc.WriteTextIn(side, 0, 0, "", 0);
    }
    if (!Overlap(track, rect)) return;
    // The percent centred on the track: in the highlight colours over the
    // filled part, in the window's over the rest.
    char percent[8];
    FormatText(percent, sizeof percent, "%d%%", Percent);
    const int length = static_cast<int>(std::strlen(percent));
    const int x = (track.left + track.right) / 2;
    RECT filled = track;
    RECT rest = track;
    filled.right = rest.left = track.left + BarWidth;
    dc.SetTextAlign(TA_CENTER | TA_TOP);
    dc.SetTextColor(::GetSysColor(COLOR_HIGHLIGHTTEXT));
    dc.SetBkColor(::GetSysColor(COLOR_HIGHLIGHT));
    dc.WriteTextIn(filled, x, TextY, percent, length);
    dc.SetTextColor(DisplayMetrics.WindowTextColor);
    dc.SetBkColor(DisplayMetrics.WindowColor);
    dc.WriteTextIn(rest, x, TextY, percent, length);
}
