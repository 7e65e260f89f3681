#include "engine/RoomCheck.h"

#include "engine/plain/ReplacementRecord.h"
#include "engine/plain/RoomNeeded.h"
#include "engine/plain/ScratchName.h"
#include "framework/UniqueHandle.h"
#include "shell/ReportMessage.h"
#include "shell/plain/FormatText.h"
#include "shell/plain/MessageTable.h"
#include "shell/plain/PathHelpers.h"

namespace {
// The root a drive's free room is asked of: "C:\" for "C:\TSW30", the share
// "\\SERVER\SHARE\" for a network path; empty for anything else.
std::string DriveRootOf(const char* target)
{
    const std::string path = target;
    if (path.size() >= 2 && path[1] == ':') return path.substr(0, 2) + "\\";
    if (path.compare(0, 2, "\\\\") != 0) return std::string();
    const std::size_t server = path.find('\\', 2);
    if (server == std::string::npos || server == 2) return std::string();
    const std::size_t share = path.find('\\', server + 1);
    return share == std::string::npos ? path + "\\" : path.substr(0, share + 1);
}

// The size of the file the installed path names now; 0 for none, or a folder.
std::uint32_t EarlierSize(const std::string& installed)
{
    WIN32_FIND_DATAA found;
    const HANDLE search = ::FindFirstFileA(installed.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return 0;
    ::FindClose(search);
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return 0;
    return found.nFileSizeHigh ? 0xFFFFFFFFu : found.nFileSizeLow;
}

// What an update's record holds at its largest: its header, a line for each
// file, and the mark.
std::uint32_t RecordBytes(const char* target, const std::vector<PlannedWrite>& files)
{
    char fresh[kScratchNameSize];
    char aside[kScratchNameSize];
    ScratchName(0, fresh);
    ScratchName(1, aside);
    const std::size_t folder = JoinedPath(target, "").size();
    std::size_t bytes = RecordHeader().size() + RecordRenameMark().size();
    for (const PlannedWrite& file : files)
        bytes += RecordLine({fresh, aside, file.Installed.substr(file.Installed.size() < folder ? 0 : folder)}).size();
    return static_cast<std::uint32_t>(bytes);
}
}

bool RoomAllowsRun(HWND owner, int title, const char* target, const std::vector<PlannedWrite>& files,
                   bool allTogether)
{
    const std::string root = DriveRootOf(target);
    if (root.empty() || files.empty()) return true;
    for (;;) {
        DWORD sectorsPerCluster = 0, bytesPerSector = 0, freeClusters = 0, clusters = 0;
        // Windows 95 before its second release gives at most 2 GB here: more
        // than any run of these disks needs.
        if (!::GetDiskFreeSpaceA(root.c_str(), &sectorsPerCluster, &bytesPerSector, &freeClusters, &clusters))
            return true;
        // A CD-ROM gives no free room at all: the folder's creation reports
        // that it cannot be written. Any other drive with none is full.
        if (freeClusters == 0 && ::GetDriveTypeA(root.c_str()) == DRIVE_CDROM) return true;
        const std::uint32_t cluster = sectorsPerCluster * bytesPerSector;
        std::vector<FileRoom> rooms;
        for (const PlannedWrite& file : files) rooms.push_back({file.Size, allTogether ? 0 : EarlierSize(file.Installed)});
        const std::uint64_t needed = allTogether ? RoomForUpdate(rooms, cluster, RecordBytes(target, files))
                                                 : RoomForInstallation(rooms, cluster);
        const std::uint64_t available = static_cast<std::uint64_t>(freeClusters) * cluster;
        if (needed <= available) return true;

        char neededText[32];
        char freeText[32];
        FormatKilobytes(needed, neededText);
        FormatKilobytes(available, freeText);
        // "drive C:" for a drive letter; a share is named as it is.
        std::string drive = root.size() == 3 ? "drive " + root.substr(0, 2) : root.substr(0, root.size() - 1);
        char advice[kAdviceSize];
        FormatText(advice, sizeof advice,
                   "%s needs %s; %s has %s free.\n\nRetry once there is room; Ignore goes on all the same (the "
                   "free room of a compressed drive is an estimate); Abort stops before the first file.",
                   target, neededText, drive.c_str(), freeText);
        const int answer = ReportMessage(owner, title, MsgInsufficientDiskSpace, nullptr,
                                         MB_ABORTRETRYIGNORE | MB_DEFBUTTON2, advice);
        if (answer == IDIGNORE) return true;
        if (answer != IDRETRY) return false;
    }
}
