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
    // Shows, behind the text, a bar across the client area for `done` of
    // `total` (a total of 0: no bar), repainted as `repaint` says: not yet
    // (a SetText follows), once its end has moved by a step (a hundredth of
    // its width, or to its end), or now (wherever it moved).
    enum class Repaint { Later, ByStep, Now };
    void SetShare(unsigned long long done, unsigned long long total, Repaint repaint);
    // The bar's width in pixels; -1 with no bar.
    int GetBarWidth() const { return BarWidth; }

    int TextX;
    int TextY;

protected:
    void Paint(TDC& dc, bool erase, const RECT& rect) override;

private:
    int BarFor(unsigned long long done, unsigned long long total) const;

    char Text[80];
    int BarWidth = -1;
};

// Geometry of the progress window for an anchor, from the display metrics.
RECT ProgressWindowRect(int anchorX, int anchorY);
