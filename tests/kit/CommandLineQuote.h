#pragma once
#include <windows.h>

#include <string>
#include <vector>

// Quotes one argument so that the C runtime's command-line splitting (and
// Wine's, for programs of this machine) gives it back unchanged: blanks,
// tabs, double quotes and an empty argument are quoted, backslashes before a
// quote are doubled. A double-byte character of the ANSI code page goes
// whole: its second byte may be 0x5C and is no backslash.
std::string QuoteArgument(const std::string& argument);

// The arguments quoted one by one and joined with single blanks.
std::string JoinArguments(const std::vector<std::string>& arguments);

// JoinArguments(line) as the writable, NUL-terminated buffer CreateProcessA
// takes.
std::vector<char> CommandLineBuffer(const std::vector<std::string>& line);

// Starts a program with the arguments quoted as above (`line[0]` is the
// program's own name in its command line; `application` may be empty, to let
// the system search for it). False when it could not be started. The process
// handle goes to `process` when asked for (Wine gives none for a program of
// this machine), else it is closed.
bool StartProcess(const std::string& application, const std::vector<std::string>& line, DWORD flags = 0,
                  HANDLE* process = nullptr, DWORD* processId = nullptr);
