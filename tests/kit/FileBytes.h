#pragma once
#include <string>

// Whole-file reads and writes for tests (Windows paths).
bool ReadFileBytes(const std::string& path, std::string& bytes);
bool WriteFileBytes(const std::string& path, const std::string& bytes);
bool FileExists(const std::string& path);
