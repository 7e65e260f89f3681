#pragma once
#include <string>

// A free drive letter of the prefix, the first of `candidates`, pointed at a
// folder for the test's duration. Wine takes a drive it has no type for as a
// fixed disk.
class MappedDrive {
public:
    MappedDrive(const std::string& candidates, const std::string& windowsFolder);
    ~MappedDrive();
    MappedDrive(const MappedDrive&) = delete;
    MappedDrive& operator=(const MappedDrive&) = delete;

    // The drive's letter, or 0 when every candidate was taken.
    char Drive() const { return Letter; }

private:
    std::string Link;
    char Letter = 0;
};
