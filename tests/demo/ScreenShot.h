#pragma once
#include <string>

// Saves the whole screen as a 24-bit BMP file (a Windows path); false on failure.
bool SaveScreenShot(const std::string& path);
