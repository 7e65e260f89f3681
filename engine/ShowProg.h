#pragma once
#include "framework/Window.h"

// The one-line progress window shown while a list file is handled. Every text
// change is painted at once: the expansion pumps no messages.
class TShowProg : public TWindow {
public:
    // (x, y): the anchor in screen coordinates, the top-right corner of the
    // main window's client area.
    TShowProg(TWindow* parent, int x, int y, const char* caption);
    ~TShowProg() override = default;

    // Copies the text (cut at 79 characters) and repaints synchronously.
    void SetText(const char* text);
    const char* GetText() const { return Text; }
    // Shows, right of the text, a framed gauge of `done` of `total` with its
    // percent (a total of 0: no gauge, the text has the whole width),
    // repainted as `repaint` says: not yet (a SetText follows), once the
    // percent has changed, or now (wherever the fill moved).
    enum class Repaint { Later, ByStep, Now };
    void SetShare(unsigned long long done, unsigned long long total, Repaint repaint);
    // The gauge's filled width in pixels, and its percent; -1 with no gauge.
    int GetBarWidth() const { return BarWidth; }
    int GetPercent() const { return Percent; }
    // The gauge's frame, in client coordinates; its track is inside it.
    RECT GetGaugeFrame() const;

    int TextX;
    int TextY;

protected:
    void Paint(TDC& dc, bool erase, const RECT& rect) override;

private:
    RECT TextBox() const;
    void PaintGauge(TDC& dc, const RECT& rect) const;

    char Text[80];
    int BarWidth = -1;
    int Percent = -1;
};

// Geometry of the progress window for an anchor, from the display metrics.
RECT ProgressWindowRect(int anchorX, int anchorY);
