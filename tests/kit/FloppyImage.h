#pragma once
#include <string>

// A 1.44 MB floppy image made by tools/make_disk_set.py, mounted read-only
// through FUSE (tools/native/floppy_mount IMAGE FOLDER) at a folder of its own beside
// the image for the object's life, so that FloppyDrive can show it as the
// disk in A:. Being mounted read-only, it behaves like a write-protected
// floppy. The destructor unmounts it ("fusermount -u"; lazily if a program
// still holds a file of it) and removes the folder.
//
//   if (!FloppyImage::Unavailable().empty()) GTEST_SKIP() << FloppyImage::Unavailable();
//   FloppyImage disk1(imagePath);
//   ASSERT_TRUE(disk1.Mounted()) << disk1.LastError();
//   ASSERT_TRUE(floppy.Insert(disk1.Folder()));
class FloppyImage {
public:
    explicit FloppyImage(const std::string& windowsImagePath);
    ~FloppyImage();
    FloppyImage(const FloppyImage&) = delete;
    FloppyImage& operator=(const FloppyImage&) = delete;

    // Why images cannot be mounted on this machine (no FUSE device, the
    // reader or fusermount missing), or "" when they can.
    static std::string Unavailable();

    bool Mounted() const { return IsMounted; }
    // The mounted image's root as a Windows path.
    const std::string& Folder() const { return WindowsFolder; }
    const std::string& LastError() const { return Error; }

private:
    std::string UnixFolder;
    std::string WindowsFolder;
    bool IsMounted = false;
    std::string Error;
};
