#pragma once
#include <windows.h>
#include <cstdint>

constexpr UINT FinishedMessage = WM_USER + 50;  // 1074

// The window handle for a 32-bit handle value, as a 64-bit build must pass it
// (sign-extended, as the platform extends 32-bit handles).
HWND HandleFromValue(std::uint32_t value);

// Posts the finishing notification to each handle form this build uses.
void NotifyLauncher(std::uint16_t launcherWindow, bool ntBuild);

// Records the launcher window the arguments named (LauncherWindow), to be told
// when the run ends, however it ends; until then, or with a window argument
// that named none, nobody is.
void SetLauncherToNotify(std::uint16_t launcherWindow);
// Tells that launcher, once.
void NotifyLauncherOfEnd();
// Whether a launcher is to be told, and whether its window is still there.
bool IsLauncherToBeTold();
bool LauncherStillThere();
