#pragma once
// An unattended run (SETUP.EXE /Q): the installer installs what INSTALL.OPT
// on the source names, or the defaults, or updates the installation it names
// from an update point, and no box waits for a person. This is the one
// place that knows it: each report and each box of the installer asks here
// before it is shown, and a box that would wait ends the run.
#include <windows.h>

bool IsUnattendedRun();
// Set once, from the command line, before the main window is made.
void BeginUnattendedRun();

// Exit codes of an unattended run that no number of the message table names,
// above every message number.
// A box without a number (a notice of the Program Manager link).
constexpr int kUnattendedNoticeEnd = 100;
// An update point's run where the folder it updates holds no installation:
// nothing is written, and a batch file tells it from a fault of the update.
constexpr int kUnattendedNotInstalled = 101;

// Ends an unattended run at a box that would wait for a person: the box's
// text and `exitCode` (the report's message number, or one of the codes
// above) end the run's log, the launcher is told as at any end, and the
// process ends with `exitCode`. `text` is what the box would have said.
[[noreturn]] void EndUnattendedRun(int exitCode, const char* text);
