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

    int TextX;
    int TextY;

protected:
    void Paint(TDC& dc, bool erase, const RECT& rect) override;

private:
    char Text[80];
};

// Geometry of the progress window for an anchor, from the display metrics.
RECT ProgressWindowRect(int anchorX, int anchorY);
