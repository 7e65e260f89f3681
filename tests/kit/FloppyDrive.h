#pragma once
#include <string>

// Drive A: of the Wine prefix, which the prefix declares a floppy drive
// (GetDriveTypeA answers removable). Its "disk" is whatever folder the
// prefix's dosdevices/a: link points at; changing the disk re-points that link
// (through this machine's ln, see UnixBridge.h), which the installer sees at
// its next file access. The folder A: showed before is restored at the end.
//
//   FloppyDrive floppy;
//   ASSERT_TRUE(floppy.Insert(disk1.Path()));
//   ... the installer prompts for disk 2 ...
//   floppy.Insert(disk2.Path());
class FloppyDrive {
public:
    FloppyDrive();
    ~FloppyDrive();
    FloppyDrive(const FloppyDrive&) = delete;
    FloppyDrive& operator=(const FloppyDrive&) = delete;

    // Running under Wine and the drive's link was found.
    bool Available() const { return !LinkPath.empty(); }
    // A: shows the folder (a Windows path). True when the drive now shows it.
    bool Insert(const std::string& windowsFolder);
    // No disk: A: points at a folder that does not exist.
    bool Remove();
    // What went wrong last, for failure messages.
    const std::string& LastError() const { return Error; }

private:
    bool PointAt(const std::string& unixFolder);

    std::string LinkPath;  // .../dosdevices/a:
    std::string Previous;  // the link's target at the start; empty when there was no link
    std::string Error;
};
