#pragma once
#include <windows.h>

#include <string>
#include <vector>

// Reaching this machine's side from a test running under Wine.

// The path on this machine for a Windows path, or "" when not under Wine.
std::string ToUnixPath(const std::string& windowsPath);
// The Windows path for a path on this machine, or "" when not under Wine.
std::string ToWindowsPath(const std::string& unixPath);

// Runs `script` with this machine's /bin/sh (sh -c script, with `arguments`
// as $1, $2, ...) and waits for it. Wine starts programs of this machine but
// gives no process handle to wait on, so the wrapper leaves the exit status in
// a file that is polled. Returns the status, or -1 when the shell could not be
// started or did not finish within the time-out.
int RunUnixShell(const std::string& script, const std::vector<std::string>& arguments = {},
                 DWORD timeoutMs = 10000);
