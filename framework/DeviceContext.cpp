#include "framework/DeviceContext.h"

bool TDC::WriteText(int x, int y, const char* text, int length)
{
    return ::TextOutA(Handle, x, y, text, length) != 0;
}

bool TDC::PlayEnhMetaFile(HENHMETAFILE picture, const RECT& rect)
{
    return ::PlayEnhMetaFile(Handle, picture, &rect) != 0;
}

bool TDC::GetFontMetrics(TEXTMETRICA& metrics) const
{
    return ::GetTextMetricsA(Handle, &metrics) != 0;
}
