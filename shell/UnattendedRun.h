#pragma once
// An unattended run (SETUP.EXE /Q): the installer installs what INSTALL.OPT
// on the source names, or the defaults, and no box waits for a person. This
// is the one place that knows it: each report and each box of the installer
// asks here before it is shown, and a box that would wait ends the run.
#include <windows.h>

bool IsUnattendedRun();
// Set once, from the command line, before the main window is made.
void BeginUnattendedRun();

// The exit code of an unattended run that a box without a number of the
// message table ended (a notice of the Program Manager link): above every
// message number.
constexpr int kUnattendedNoticeEnd = 100;

// Ends an unattended run at a box that would wait for a person: the launcher
// is told as at any end, and the process ends with `exitCode` (the report's
// message number, or kUnattendedNoticeEnd). `text` is what the box would
// have said.
[[noreturn]] void EndUnattendedRun(int exitCode, const char* text);
