#include "shell/InstallWindow.h"

#include "engine/plain/DiskNames.h"
#include "engine/plain/LzErrors.h"
#include "shell/ReportMessage.h"
#include "shell/plain/FormatText.h"
#include "shell/plain/MessageTable.h"
#include "shell/plain/PathHelpers.h"
#include "shell/plain/Settings.h"

#include <cstring>
#include <string>

namespace {
// One list of the run: which list, from where, to where, with what caption.
struct ComponentStep {
    int Flag;
    int List;
    const char* Subdirectory;  // on the disk and under the target; null for the root
    const char* Caption;
    int Disk;
};

const ComponentStep Steps[] = {
    {ComponentProgram, ListDisk1, nullptr, "Installing Tessaryn Program", 1},
    {ComponentProgram, ListDisk2, nullptr, "Installing Tessaryn Program", 2},
    {ComponentProgram, ListLookup, "LOOKUP", "Installing Lookup Files", 2},
    {ComponentProgram, ListUserDll, "USER_DLL", "Installing User Database Doc", 2},
    {ComponentCrane, ListCrane, "CRANE", "Installing Crane Rain Files", 2},
    {ComponentCcir, ListCcir, "CCIR", "Installing CCIR Rain Files", 2},
    {ComponentCanada, ListCanada, "CANADA", "Installing Canadian Rain Files", 2},
    {ComponentExamples, ListExamples, "TSDATA", "Installing Example Files", 2},
};

// Subdirectories of the target in the order they are created.
struct TargetSubdirectory {
    int Flag;  // -1: always
    const char* Name;
};
const TargetSubdirectory Subdirectories[] = {
    {-1, "USER_DLL"}, {-1, "LOOKUP"}, {ComponentCcir, "CCIR"},
    {ComponentCrane, "CRANE"}, {ComponentCanada, "CANADA"}, {ComponentExamples, "TSDATA"},
};

bool CreateIfMissing(const std::string& path)
{
    if (PathExists(path.c_str())) return true;
    return ::CreateDirectoryA(path.c_str(), nullptr) != 0;
}
}

bool TInstallWindow::PrepareDirectories()
{
    bool any = false;
    for (std::uint8_t flag : Settings.Flags) any = any || flag;
    if (!any) {
        ReportMessage(GetHandle(), MsgInstallationError, MsgNothingToInstall);
        return false;
    }

    const std::string target = Settings.TargetDirectory;
    if (!PathExists(target.c_str())) {
        // Level by level; the first backslash is the root's and is never created.
        bool ok = true;
        bool firstSkipped = false;
        for (std::size_t i = 0; i < target.size() && ok; ++i) {
            if (target[i] != '\\') continue;
            if (!firstSkipped) {
                firstSkipped = true;
                continue;
            }
            ok = CreateIfMissing(target.substr(0, i));
        }
        if (ok) ok = CreateIfMissing(target);
        if (!ok) {
            ReportMessage(GetHandle(), MsgInstallationError, MsgDirectoryCreationError, target.c_str());
            return false;
        }
    }

    for (const TargetSubdirectory& sub : Subdirectories) {
        if (sub.Flag >= 0 && !Settings.Flags[sub.Flag]) continue;
        std::string path = target + "\\" + sub.Name;
        if (!CreateIfMissing(path)) {
            ReportMessage(GetHandle(), MsgInstallationError, MsgDirectoryCreationError, path.c_str());
            return false;
        }
    }
    return true;
}

bool TInstallWindow::InstallComponents()
{
    LONG runResult = 0;
    if (!PrepareDirectories()) return false;

    auto expand = [&](const ComponentStep& step) {
        char source[16];
        if (step.Subdirectory)
            FormatText(source, sizeof source, "%c:\\%s", SourceDrive[0], step.Subdirectory);
        else
            FormatText(source, sizeof source, "%c:", SourceDrive[0]);
        std::string destination = Settings.TargetDirectory;
        if (step.Subdirectory) destination = destination + "\\" + step.Subdirectory;
        return ExpandListFile(ListFileName(step.List), destination.c_str(), source, step.Caption, runResult);
    };

    const bool program = Settings.Flags[ComponentProgram] != 0;
    if (program) {
        if (CurrentDisk != 1 && !PromptForDisk(1)) return false;
        if (!expand(Steps[0])) return false;
        if (!PromptForDisk(2)) return false;
        if (!expand(Steps[1])) return false;
        // Lookup and user database files: only a full disk ends the run.
        for (int i = 2; i <= 3; ++i) {
            expand(Steps[i]);
            if (runResult == kLzWrite) return false;
        }
    }
    for (int i = 4; i < static_cast<int>(sizeof Steps / sizeof Steps[0]); ++i) {
        if (!Settings.Flags[Steps[i].Flag]) continue;
        if (CurrentDisk != 2) PromptForDisk(2);
        if (CurrentDisk == 2) expand(Steps[i]);
        if (runResult == kLzWrite) return false;
    }
    return program;
}
