#include "launcher/PlatformReason.h"

void PlatformReason(DWORD error, char (&reason)[kReasonSize])
{
    if (!::FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0, reason,
                          sizeof reason, nullptr))
        ::wsprintfA(reason, "Error %lu.", static_cast<unsigned long>(error));
}
