#include "tests/kit/FloppyDrive.h"

#include "tests/kit/FileBytes.h"
#include "tests/kit/TempFolder.h"
#include "tests/kit/UnixBridge.h"

#include <windows.h>

FloppyDrive::FloppyDrive()
{
    std::string root = ToUnixPath("A:\\");  // ".../dosdevices/a:/"
    while (!root.empty() && root.back() == '/') root.pop_back();
    if (root.size() < 3 || root.compare(root.size() - 3, 3, "/a:") != 0) {
        Error = "drive A: has no dosdevices link (not running under Wine?)";
        return;
    }
    LinkPath = root;
    TempFolder scratch("tskit-floppy");
    std::string saved = scratch / "target";
    std::string savedUnix = ToUnixPath(saved);
    if (RunUnixShell("if [ -L \"$1\" ]; then readlink \"$1\" > \"$2\"; fi", {LinkPath, savedUnix}) == 0) {
        if (ReadFileBytes(saved, Previous) && !Previous.empty() && Previous.back() == '\n') Previous.pop_back();
    }
}

FloppyDrive::~FloppyDrive()
{
    if (LinkPath.empty()) return;
    if (Previous.empty())
        RunUnixShell("rm -f \"$1\"", {LinkPath});
    else
        PointAt(Previous);
}

bool FloppyDrive::PointAt(const std::string& unixFolder)
{
    if (LinkPath.empty()) return false;
    int status = RunUnixShell("ln -sfn \"$1\" \"$2\"", {unixFolder, LinkPath});
    if (status != 0) {
        Error = "ln -sfn " + unixFolder + " " + LinkPath + " gave " + std::to_string(status);
        return false;
    }
    return true;
}

bool FloppyDrive::Insert(const std::string& windowsFolder)
{
    std::string folder = ToUnixPath(windowsFolder);
    if (folder.empty()) {
        Error = "no path on this machine for " + windowsFolder;
        return false;
    }
    while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
    if (!PointAt(folder)) return false;
    if (!FileExists("A:\\")) {
        Error = "A: does not show " + windowsFolder + " after re-pointing it";
        return false;
    }
    return true;
}

bool FloppyDrive::Remove()
{
    return PointAt(LinkPath + ".no-disk-in-drive");
}
