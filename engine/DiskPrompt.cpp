#include "shell/InstallWindow.h"

#include "engine/plain/DiskNames.h"
#include "engine/plain/DiskPromptStep.h"
#include "shell/UnattendedRun.h"
#include "shell/plain/FormatText.h"
#include "shell/plain/MessageTable.h"
#include "shell/plain/PathHelpers.h"
#include "shell/plain/Settings.h"

#include <cctype>

bool TInstallWindow::PromptForDisk(int disk)
{
    return PromptForDisk(disk, SourceDrive[0]);
}

// Asks for the disk in the given drive until its list file is in the drive's
// root (FirstDiskPromptStep says when no box is needed).
bool TInstallWindow::PromptForDisk(int disk, char drive)
{
    char root[3] = {drive, ':', '\0'};
    char prompt[80];
    FormatText(prompt, sizeof prompt, DiskPromptFormat, disk, drive);
    const char* listName = ListFileName(disk);
    if (!listName) return false;
    const char driveRoot[4] = {drive, ':', '\\', '\0'};
    const bool listPresent = JoinPath(root, listName, 1) != nullptr;
    const DiskPromptStep first =
        FirstDiskPromptStep(::GetDriveTypeA(driveRoot) == DRIVE_REMOVABLE, listPresent, IsUnattendedRun());
    if (first == DiskPromptStep::EndRun) {
        char text[kMessageSize];
        ComposeMessage(text, sizeof text, MsgFileNotFound, JoinPath(root, listName, 0));
        LogReport(MsgFileNotFound, text, 0);
        EndRunLogAtReport();
        EndUnattendedRun(MsgFileNotFound, text);
    }
    for (bool confirmed = first == DiskPromptStep::Confirm; !confirmed;) {
        if (ShowMessage(prompt, DiskPromptTitle, MB_OKCANCEL | MB_ICONEXCLAMATION) != IDOK) {
            LogCancel(prompt);
            return false;
        }
        confirmed = JoinPath(root, listName, 1) != nullptr;
    }
    // CurrentDisk is what the source drive holds; another drive's disk says
    // nothing about it. Drive letters carry no case ("a:\" is drive A).
    if (std::toupper(static_cast<unsigned char>(drive)) == std::toupper(static_cast<unsigned char>(SourceDrive[0])))
        CurrentDisk = disk;
    return true;
}
