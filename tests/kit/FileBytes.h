#pragma once
#include <string>

// Whole-file reads and writes for tests (Windows paths).
bool ReadFileBytes(const std::string& path, std::string& bytes);
bool WriteFileBytes(const std::string& path, const std::string& bytes);
bool FileExists(const std::string& path);
// The whole file; `found` tells a missing file from an empty one.
std::string ReadBytes(const std::string& path, bool* found = nullptr);
// The last write time in whole seconds (since 1601), or -1 without such a file.
long long LastWriteSeconds(const std::string& path);
