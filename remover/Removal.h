#pragma once
#include "engine/plain/InstallRecord.h"
#include "remover/plain/RemovalPlan.h"

// What the removal asks of the person and of the platform around it: the
// program's windows and boxes, or a test's answers.
class RemovalSurface {
public:
    // A file or folder that cannot be removed (in use, read-only): true to
    // try it again, false to stop the removal there.
    virtual bool RetryRemoval(const char* path) = 0;
    // Has the program's own file (and, when `folderToo`, its then empty
    // folder) removed when the system next starts; false when it cannot.
    virtual bool RemoveOwnFileLater(bool folderToo) = 0;

protected:
    ~RemovalSurface() = default;
};

// Removes from `folder` what the record says the installations made there
// and is still as they made it: files by their size and CRC-32, folders
// once empty, the program group, this program's registration, the marker,
// and the record last, after the program's own file is set to go at the
// next start. Anything that should go and could not keeps the record, which
// the next removal finishes from. Files go through the file steps
// (engine/FileSteps.h).
void RemoveInstallation(const char* folder, const InstallRecordContents& record, const char* ownPath,
                        RemovalSurface& surface, RemovalOutcome& outcome);
