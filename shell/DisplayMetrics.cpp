#include "shell/DisplayMetrics.h"

#include "framework/DeviceContext.h"

TDisplayMetrics DisplayMetrics;

void MeasureDisplay()
{
    DisplayMetrics.WindowColor = ::GetSysColor(COLOR_WINDOW);
    DisplayMetrics.WindowTextColor = ::GetSysColor(COLOR_WINDOWTEXT);
    TScreenDC screen;
    DisplayMetrics.PixelsPerInchX = screen.GetDeviceCaps(LOGPIXELSX);
    DisplayMetrics.PixelsPerInchY = screen.GetDeviceCaps(LOGPIXELSY);
    TEXTMETRICA metrics = {};
    screen.GetFontMetrics(metrics);
    DisplayMetrics.CharWidth = metrics.tmAveCharWidth;
    DisplayMetrics.LineGap = 1;
    DisplayMetrics.CharHeight = metrics.tmHeight;
}
