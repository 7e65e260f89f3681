#pragma once
#include <windows.h>

// Shows a numbered report: title and text from the message table, the detail
// (if any) appended to the text after one space. OK button, stop icon, and
// any further style given.
int ReportMessage(HWND owner, int titleNumber, int textNumber, const char* detail = nullptr, UINT style = 0);
