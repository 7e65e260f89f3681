#include "tests/kit/FloppyDrive.h"

#include "tests/kit/FileBytes.h"
#include "tests/kit/TempFolder.h"
#include "tests/kit/UnixBridge.h"

#include <windows.h>

namespace {
// Whether a new file can be made in the folder through Wine.
bool CanCreateFileIn(const std::string& folder)
{
    std::string probe = folder + "\\tskit-write-probe";
    HANDLE file = ::CreateFileA(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    ::CloseHandle(file);
    ::DeleteFileA(probe.c_str());
    return true;
}
}

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

WriteProtectedFolder::WriteProtectedFolder(const std::string& windowsFolder)
    : Folder(windowsFolder), UnixFolder(ToUnixPath(windowsFolder))
{
    if (UnixFolder.empty()) {
        How = "no path on this machine for " + windowsFolder;
        return;
    }
    if (RunUnixShell("chmod a-w \"$1\"", {UnixFolder}) != 0) {
        How = "chmod a-w failed";
        return;
    }
    How = "chmod a-w";
    if (!CanCreateFileIn(Folder)) {
        IsProtected = true;
        return;
    }
    if (RunUnixShell("chattr +i \"$1\"", {UnixFolder}) != 0) {
        How += "; still writable (running as root?) and chattr +i failed";
        return;
    }
    How += ", chattr +i";
    IsProtected = !CanCreateFileIn(Folder);
    if (!IsProtected) How += "; still writable";
}

WriteProtectedFolder::~WriteProtectedFolder()
{
    if (UnixFolder.empty()) return;
    RunUnixShell("chattr -i \"$1\" 2>/dev/null; chmod u+w \"$1\"", {UnixFolder});
}
