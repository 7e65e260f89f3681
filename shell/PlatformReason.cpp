#include "shell/PlatformReason.h"

#include "shell/plain/FormatText.h"

void PlatformReason(DWORD error, char (&reason)[kReasonSize])
{
    if (!::FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0, reason,
                          sizeof reason, nullptr))
        FormatText(reason, sizeof reason, "Error %d.", static_cast<int>(error));
}
