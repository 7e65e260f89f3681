#include "engine/plain/InstallPlan.h"

#include "shell/plain/Settings.h"

// Lookup and user database files belong to the program; their subfolders are
// made first, whatever is selected, user database before lookup.
const InstallStep kInstallSteps[] = {
    {ComponentProgram, ListDisk1, "disk_1.lst", 1, nullptr, "Installing Tessaryn Program", StepPolicy::MustSucceed, 0, false},
    {ComponentProgram, ListDisk2, "disk_2.lst", 2, nullptr, "Installing Tessaryn Program", StepPolicy::MustSucceed, 0, false},
    {ComponentProgram, ListLookup, "disk_2e.lst", 2, "LOOKUP", "Installing Lookup Files", StepPolicy::FullDiskEnds, 2, true},
    {ComponentProgram, ListUserDll, "disk_2f.lst", 2, "USER_DLL", "Installing User Database Doc", StepPolicy::FullDiskEnds, 1, true},
    {ComponentCrane, ListCrane, "disk_2a.lst", 2, "CRANE", "Installing Crane Rain Files", StepPolicy::CancelSkips, 4, false},
    {ComponentCcir, ListCcir, "disk_2b.lst", 2, "CCIR", "Installing CCIR Rain Files", StepPolicy::CancelSkips, 3, false},
    {ComponentCanada, ListCanada, "disk_2c.lst", 2, "CANADA", "Installing Canadian Rain Files", StepPolicy::CancelSkips, 5, false},
    {ComponentExamples, ListExamples, "disk_2d.lst", 2, "TSDATA", "Installing Example Files", StepPolicy::CancelSkips, 6, false},
};
const std::size_t kInstallStepCount = sizeof kInstallSteps / sizeof kInstallSteps[0];

const char* const UpdateCaption = "Updating Tessaryn Program";

const InstallStep* StepForList(int list)
{
    for (const InstallStep& step : InstallSteps()) {
        if (step.List == list) return &step;
    }
    return nullptr;
}

const InstallStep& UpdateStep()
{
    return *StepForList(ListDisk1);
}

const char* ListFileName(int index)
{
    const InstallStep* step = StepForList(index);
    return step ? step->ListName : nullptr;
}

const InstallStep* StepWithFolderRank(int rank)
{
    for (const InstallStep& step : InstallSteps()) {
        if (step.FolderRank == rank) return &step;
    }
    return nullptr;
}
