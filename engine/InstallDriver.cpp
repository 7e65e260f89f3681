#include "shell/InstallWindow.h"

#include "engine/FolderClaim.h"
#include "engine/RunSizes.h"
#include "engine/plain/InstallPlan.h"
#include "engine/plain/InstallRecord.h"
#include "engine/plain/LzErrors.h"
#include "shell/ReportMessage.h"
#include "shell/plain/FormatText.h"
#include "shell/plain/MessageTable.h"
#include "shell/plain/PathHelpers.h"
#include "shell/plain/Settings.h"

#include <cstring>
#include <string>

namespace {
bool CreateIfMissing(const std::string& path)
{
    if (PathExists(path.c_str())) return true;
    return ::CreateDirectoryA(path.c_str(), nullptr) != 0;
}
}

bool TInstallWindow::PrepareDirectories(TFolderClaim* claim)
{
    bool any = false;
    for (std::uint8_t flag : Settings.Flags) any = any || flag;
    if (!any) {
        ReportMessage(GetHandle(), MsgInstallationError, MsgNothingToInstall);
        return false;
    }
    // Before the first folder is made: the room the run needs.
    if (!PlanInstallationRun()) return false;

    const std::string target = Settings.TargetDirectory;
    const bool madeTarget = !PathExists(target.c_str());
    if (madeTarget) {
        // Level by level; the first backslash is the root's and is never
        // created. A second byte 0x5C of a double-byte character is none.
        bool ok = true;
        bool firstSkipped = false;
        for (const char* p = target.c_str(); *p && ok; p = NextCharacter(p)) {
            if (*p != '\\') continue;
            if (!firstSkipped) {
                firstSkipped = true;
                continue;
            }
            ok = CreateIfMissing(target.substr(0, static_cast<std::size_t>(p - target.c_str())));
        }
        if (ok) ok = CreateIfMissing(target);
        if (!ok) {
            ReportMessage(GetHandle(), MsgInstallationError, MsgDirectoryCreationError, target.c_str());
            return false;
        }
    }

    // An update a power cut interrupted there is finished first: nothing
    // else may be done there before.
    // The folder is this run's from here to its end (where a claim is given).
    if (!FinishInterruptedUpdate(target.c_str(), MsgInstallationError, claim)) return false;
    // The record lives in the target; without one the run goes on (its log
    // then goes to the temporary folder).
    Record.Open(target, madeTarget);
    for (int rank = 1; const InstallStep* step = StepWithFolderRank(rank); ++rank) {
        if (!step->FolderAlways && !Settings.Flags[step->Component]) continue;
        std::string path = JoinedPath(target, step->Subfolder);
        // A folder's line is on the disk before the folder is made.
        const bool recorded = PathExists(path.c_str()) || Record.Append(RecordedFolderLine(step->Subfolder));
        if (!recorded || !CreateIfMissing(path)) {
            ReportMessage(GetHandle(), MsgInstallationError, MsgDirectoryCreationError, path.c_str());
            return false;
        }
    }
    return true;
}

bool TInstallWindow::InstallComponents()
{
    LONG runResult = 0;
    // The bar and the sizes belong to this run alone, however it ends.
    struct EndOfRun {
        ~EndOfRun()
        {
            RunBar.Clear();
            SizesOfSet() = SetSizes();
        }
    } endOfRun;
    RemovalInstalled = false;
    // Another installation program's files never mix with this one's.
    TFolderClaim claim;
    if (!PrepareDirectories(&claim)) return false;

    auto expand = [&](const InstallStep& step) {
        char root[3] = {SourceDrive[0], ':', '\0'};
        char source[16];
        if (step.Subfolder)
            FormatText(source, sizeof source, "%c:\\%s", SourceDrive[0], step.Subfolder);
        else
            FormatText(source, sizeof source, "%c:", SourceDrive[0]);
        std::string destination = Settings.TargetDirectory;
        if (step.Subfolder) destination = JoinedPath(destination, step.Subfolder);
        return ExpandListFile(step.ListName, destination.c_str(), source, step.Caption, runResult, root);
    };

    for (const InstallStep& step : InstallSteps()) {
        if (!Settings.Flags[step.Component]) continue;
        if (CurrentDisk != step.Disk && !PromptForDisk(step.Disk)) {
            if (step.Policy != StepPolicy::CancelSkips) return false;
            RunBar.ListDone(SizesOfSet().ListTotal(step.List));
            continue;
        }
        // Disk 1 was not in the drive when the run began: its sizes give the
        // bar, and the room is checked before the first file.
        if (step.Disk == 1 && !RunBar.IsKnown() && !PlanInstallationRun()) return false;
        bool expanded = expand(step);
        RunBar.ListDone(SizesOfSet().ListTotal(step.List));
        if (step.Policy == StepPolicy::MustSucceed && !expanded) return false;
        if (runResult == kLzWrite) return false;
    }
    // Data components alone are all there now, though with no program there
    // is nothing more to make; the program's removal program comes last,
    // once everything it would remove is there.
    if (!Settings.Flags[ComponentProgram]) {
        LogRunComplete();
        return false;
    }
    return InstallRemovalProgram(runResult);
}
