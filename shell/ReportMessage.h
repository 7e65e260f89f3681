#pragma once
#include <windows.h>

// Shows a numbered report: title and text from the message table, the detail
// (if any) appended to the text after one space; below it, after an empty
// line, the advice (if any): what the person can do about it. Stop icon; the
// OK button unless the style names other buttons, and any further style given.
int ReportMessage(HWND owner, int titleNumber, int textNumber, const char* detail = nullptr, UINT style = 0,
                  const char* advice = nullptr);

// The same report with the buttons Retry (the default: Enter) and Cancel
// (also Esc), for a fault the person can mend: true when Retry was chosen.
bool ReportMessageOfferingRetry(HWND owner, int titleNumber, int textNumber, const char* detail = nullptr,
                                const char* advice = nullptr);
