#pragma once
#include <cstddef>

#include "engine/plain/DiskNames.h"

// What a failure in one list of the run does to the rest of it.
enum class StepPolicy {
    MustSucceed,   // a refused disk prompt or any failure ends the run
    FullDiskEnds,  // only a full target disk ends the run
    CancelSkips,   // a refused disk prompt skips the list; only a full disk ends the run
};

// One list of an installation: which component selects it, where its files
// come from and go to, and what its failure means.
struct InstallStep {
    int Component;            // index into the settings' component flags
    ListIndex List;
    const char* ListName;     // "disk_2e.lst"
    int Disk;                 // the program disk that holds it
    const char* Subfolder;    // on the disk and under the target; null: the root
    const char* Caption;      // the progress window's title
    StepPolicy Policy;
    int FolderRank;           // when its subfolder is created, 1 first; 0: no subfolder
    bool FolderAlways;        // its subfolder is created whatever is selected
};

// The lists in the order the installation takes them.
extern const InstallStep kInstallSteps[];
extern const std::size_t kInstallStepCount;

// Iteration over the table: for (const InstallStep& step : InstallSteps()).
struct InstallStepRange {
    const InstallStep* begin() const { return kInstallSteps; }
    const InstallStep* end() const { return kInstallSteps + kInstallStepCount; }
};
inline InstallStepRange InstallSteps() { return {}; }

// The step with a subfolder of the given creation rank, or null.
const InstallStep* StepWithFolderRank(int rank);

// The step that takes a list, or null.
const InstallStep* StepForList(int list);

// The maintenance update reads the first program disk's list, from the update
// source into the target's root, under its own caption.
const InstallStep& UpdateStep();
extern const char* const UpdateCaption;  // "Updating Tessaryn Program"
