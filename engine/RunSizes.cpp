#include "shell/InstallWindow.h"

#include "engine/RoomCheck.h"
#include "engine/RunSizes.h"
#include "engine/plain/InstallPlan.h"
#include "shell/ReportMessage.h"
#include "shell/plain/MessageTable.h"
#include "shell/plain/PathHelpers.h"
#include "shell/plain/Settings.h"

#include <utility>
#include <vector>

RunProgress RunBar;

SetSizes& SizesOfSet()
{
    // Made once and kept to the end of the process: the installer's runtime
    // runs no destructors at its exit.
    static SetSizes* sizes = new SetSizes();
    return *sizes;
}

bool TInstallWindow::ReadSizesOfSet()
{
    const char root[4] = {SourceDrive[0], ':', '\\', '\0'};
    SetSizes read;
    if (!ReadSetSizes(root, read)) {
        ReportMessage(GetHandle(), MsgInstallationError, MsgFileReadError, kSizeListName);
        return false;
    }
    // Only this run's: disk 2, no disk or an older disk 1 says nothing.
    SizesOfSet() = std::move(read);
    return true;
}

bool TInstallWindow::PlanInstallationRun()
{
    RunBar.Clear();
    if (!ReadSizesOfSet()) return false;
    if (!SizesOfSet().Known) return true;
    std::uint64_t total = 0;
    std::vector<PlannedWrite> files;
    for (const InstallStep& step : InstallSteps()) {
        if (!Settings.Flags[step.Component]) continue;
        total += SizesOfSet().ListTotal(step.List);
        const std::string target = Settings.TargetDirectory;
        const std::string folder = step.Subfolder ? JoinedPath(target, step.Subfolder) : target;
        for (const SizedFile& file : SizesOfSet().Files)
            if (file.List == step.List) files.push_back({JoinedPath(folder, file.Name), file.Size});
    }
    RunBar.Begin(total);
    return RoomAllowsRun(GetHandle(), MsgInstallationError, Settings.TargetDirectory, files, false);
}

bool TInstallWindow::PlanUpdateRun(const char* updateSource, ListPlan& plan)
{
    RunBar.Clear();
    SetSizes sizes;
    if (!ReadSetSizes(JoinedPath(updateSource, "").c_str(), sizes) ||
        CheckSetSizes(sizes, UpdateStep().ListName, plan) != ListFault::None) {
        ReportMessage(GetHandle(), MsgUpdateError, MsgFileReadError, kSizeListName);
        return false;
    }
    if (!sizes.Known) return true;
    const int list = UpdateStep().List;
    std::vector<PlannedWrite> files;
    for (const SizedFile& file : sizes.Files)
        if (file.List == list) files.push_back({JoinedPath(Settings.TargetDirectory, file.Name), file.Size});
    RunBar.Begin(sizes.ListTotal(list));
    return RoomAllowsRun(GetHandle(), MsgUpdateError, Settings.TargetDirectory, files, true);
}
