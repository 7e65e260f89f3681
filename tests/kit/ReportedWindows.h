#pragma once
#include <string>

// Wine reports the Windows version of the prefix's per-program setting
// HKCU\Software\Wine\AppDefaults\<program>\Version ("win95", "nt40",
// "nt351", "win31") to a program of that file name started after it is set.
// The object sets it and puts the earlier value back when it goes.
class ReportedWindows {
public:
    ReportedWindows(const std::string& program, const std::string& version);
    ~ReportedWindows();
    ReportedWindows(const ReportedWindows&) = delete;
    ReportedWindows& operator=(const ReportedWindows&) = delete;

    bool Set() const { return Done; }
    // The registry's error code when it could not be set.
    long Error() const { return Failure; }

private:
    std::string Key;
    std::string Earlier;
    bool HadEarlier = false;
    bool Done = false;
    long Failure = 0;
};
