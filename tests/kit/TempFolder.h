#pragma once
#include <string>

// A fresh, empty folder under the temporary directory, removed with all it
// holds when the object goes.
class TempFolder {
public:
    explicit TempFolder(const std::string& hint = "tskit");
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    // The folder's Windows path, without a trailing backslash.
    const std::string& Path() const { return Folder; }
    // Path() + "\\" + name.
    std::string operator/(const std::string& name) const { return Folder + "\\" + name; }

private:
    std::string Folder;
};
