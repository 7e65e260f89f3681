#include "engine/plain/DiskPromptStep.h"

DiskPromptStep FirstDiskPromptStep(bool removableDrive, bool listPresent, bool unattended)
{
    if (listPresent && (!removableDrive || unattended)) return DiskPromptStep::Confirm;
    return unattended ? DiskPromptStep::EndRun : DiskPromptStep::Ask;
}
