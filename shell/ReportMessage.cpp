#include "shell/ReportMessage.h"

#include "framework/BoxInFront.h"
#include "shell/InstallRecordFile.h"
#include "shell/UnattendedRun.h"
#include "shell/plain/FormatText.h"
#include "shell/plain/MessageTable.h"

#include <cstring>

int ReportMessage(HWND owner, int titleNumber, int textNumber, const char* detail, UINT style, const char* advice)
{
    char text[kMessageSize + kAdviceSize];
    ComposeMessage(text, kMessageSize, textNumber, detail);
    if (advice) FormatText(text + std::strlen(text), kAdviceSize, "\n\n%s", advice);
    if (IsUnattendedRun()) {
        // No one to answer: the run ends at the report.
        EndUnattendedRun(textNumber, text);
    }
    TBoxInFront inFront(style);
    const int answer = ::MessageBoxExA(owner, text, MessageText(titleNumber), MB_OK | MB_ICONHAND | style, 0);
    LogReport(textNumber, text, answer);
    return answer;
}

bool ReportMessageOfferingRetry(HWND owner, int titleNumber, int textNumber, const char* detail, const char* advice)
{
    return ReportMessage(owner, titleNumber, textNumber, detail, MB_RETRYCANCEL | MB_DEFBUTTON1, advice) == IDRETRY;
}
