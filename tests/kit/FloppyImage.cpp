#include "tests/kit/FloppyImage.h"

#include "tests/kit/BuildTreePaths.h"
#include "tests/kit/UnixBridge.h"

#include <windows.h>

#include <atomic>

std::string FloppyImage::Unavailable()
{
    switch (RunUnixShell("[ -e /dev/fuse ] || exit 3; [ -x \"$1\" ] || exit 4;"
                         "command -v fusermount >/dev/null || exit 5",
                         {FloppyMountUnixPath})) {
    case 0: return std::string();
    case 3: return "no FUSE device /dev/fuse on this machine";
    case 4: return std::string(FloppyMountUnixPath) + " is not built (it needs Debian's libfuse3-dev)";
    case 5: return "fusermount is not installed (Debian package fuse3)";
    default: return "cannot ask this machine's shell whether FUSE is there";
    }
}

FloppyImage::FloppyImage(const std::string& windowsImagePath)
{
    std::string image = ToUnixPath(windowsImagePath);
    if (image.empty()) {
        Error = "no path on this machine for " + windowsImagePath;
        return;
    }
    static std::atomic<unsigned> serial{0};
    UnixFolder = image + ".mount-" + std::to_string(::GetCurrentProcessId()) + "-" + std::to_string(serial++);
    // The reader's status and the mount table say whether it worked.
    int status = RunUnixShell("mkdir -p \"$3\" && \"$1\" \"$2\" \"$3\" >/dev/null 2>&1 && mountpoint -q \"$3\"",
                              {FloppyMountUnixPath, image, UnixFolder});
    if (status != 0) {
        Error = std::string(FloppyMountUnixPath) + " " + image + " " + UnixFolder + " gave " + std::to_string(status);
        RunUnixShell("rmdir \"$1\"", {UnixFolder});
        UnixFolder.clear();
        return;
    }
    IsMounted = true;
    // Named through the image's folder: Wine identifies a folder by its device
    // and inode, which a new mount may share with one that drive A: showed a
    // moment ago, and would then name it "A:".
    const std::size_t slash = UnixFolder.rfind('/');
    WindowsFolder = ToWindowsPath(UnixFolder.substr(0, slash));
    while (!WindowsFolder.empty() && WindowsFolder.back() == '\\') WindowsFolder.pop_back();
    if (!WindowsFolder.empty()) WindowsFolder += "\\" + UnixFolder.substr(slash + 1);
}

FloppyImage::~FloppyImage()
{
    if (!IsMounted) return;
    // A program started from the image may take a moment to let go of it.
    RunUnixShell("for try in 1 2 3 4 5 6 7 8 9 10; do fusermount -u \"$1\" 2>/dev/null && break; sleep 0.5; done;"
                 "mountpoint -q \"$1\" && fusermount -u -z \"$1\"; rmdir \"$1\"",
                 {UnixFolder}, 15000);
}
