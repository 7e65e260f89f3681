#pragma once
#include <windows.h>

// The platform's sentence for an error code ("Access is denied."), or
// "Error N." where it has none.
constexpr int kReasonSize = 256;
void PlatformReason(DWORD error, char (&reason)[kReasonSize]);
