#pragma once
#include <windows.h>

#include <string>
#include <vector>

// Driving windows of another process the way a user would, by messages.
// Reading a window's or a message box's text: WindowText and MessageBoxText
// in BoxWatcher.h.

// Presses a button of a dialog or message box (posts WM_COMMAND with its id).
void PressButton(HWND dialog, int buttonId);
// Posts a menu command to a window.
void PostCommand(HWND window, int commandId);
// Asks a window to close, as its close box does.
void PostClose(HWND window);

// Edit controls and check boxes of a dialog, by control id. The setters are
// sent (they are done when they return); false when the control is missing or
// the dialog did not answer.
bool SetControlText(HWND dialog, int controlId, const std::string& text);
std::string ControlText(HWND dialog, int controlId);
bool SetCheck(HWND dialog, int controlId, bool checked);
bool IsChecked(HWND dialog, int controlId);

RECT WindowRect(HWND window);
LONG_PTR WindowStyle(HWND window);
// Types text into an edit control key by key, as the keyboard would.
void TypeInto(HWND dialog, int controlId, const std::string& text);
// The ids met by pressing Tab from the first control until the cycle closes.
std::vector<int> TabOrder(HWND dialog, int first);
// A control's rectangle in the dialog's client coordinates.
RECT ControlRect(HWND dialog, int controlId);
// A rectangle given in dialog units, in the dialog's pixels, converted as the
// dialog manager places a control: position and size each on its own (so a
// size of 19.5 pixels is 20 wherever the control stands).
RECT DialogUnits(HWND dialog, int x, int y, int width, int height);
// Whether the window sits in the middle of the screen (to the pixel, as
// centring truncates).
bool CentredOnScreen(HWND window);
