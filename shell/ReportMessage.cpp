#include "shell/ReportMessage.h"

#include "shell/plain/MessageTable.h"

int ReportMessage(HWND owner, int titleNumber, int textNumber, const char* detail)
{
    char text[kMessageSize];
    ComposeMessage(text, sizeof text, textNumber, detail);
    return ::MessageBoxExA(owner, text, MessageText(titleNumber), MB_OK | MB_ICONHAND, 0);
}
