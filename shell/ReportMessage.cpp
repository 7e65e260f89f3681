#include "shell/ReportMessage.h"

#include "framework/BoxInFront.h"
#include "shell/plain/MessageTable.h"

int ReportMessage(HWND owner, int titleNumber, int textNumber, const char* detail, UINT style)
{
    char text[kMessageSize];
    ComposeMessage(text, sizeof text, textNumber, detail);
    TBoxInFront inFront(style);
    return ::MessageBoxExA(owner, text, MessageText(titleNumber), MB_OK | MB_ICONHAND | style, 0);
}

bool ReportMessageOfferingRetry(HWND owner, int titleNumber, int textNumber, const char* detail)
{
    return ReportMessage(owner, titleNumber, textNumber, detail, MB_RETRYCANCEL | MB_DEFBUTTON1) == IDRETRY;
}
