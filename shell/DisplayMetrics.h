#pragma once
#include <windows.h>

// Display measurements taken once, when the main window is constructed.
struct TDisplayMetrics {
    COLORREF WindowColor = 0;
    COLORREF WindowTextColor = 0;
    int PixelsPerInchX = 96;
    int PixelsPerInchY = 96;
    int CharWidth = 0;
    int LineGap = 1;
    int CharHeight = 0;
};

extern TDisplayMetrics DisplayMetrics;

// Fills DisplayMetrics from the screen.
void MeasureDisplay();
