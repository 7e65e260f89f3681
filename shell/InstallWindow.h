#pragma once
#include <windows.h>
#include <ddeml.h>

#include "framework/FrameWindow.h"
#include "progman/plain/ProgmanCommand.h"

// Menu commands of the main window.
enum InstallCommand : int {
    CmInstallLocal = 1,
    CmInstallNetwork = 2,
    CmMaintenanceUpdate = 5,
    CmHelp = 6,
};

// Dialog templates.
enum InstallDialogResource : int {
    DlgLocalInstall = 3048,
    DlgNetworkInstall = 3049,
    DlgMaintenanceUpdate = 3052,
};

extern const char* const MainWindowTitle;  // "Tessaryn 3.0 Installation"
extern const char* const HelpFileName;     // "tsw_inst.hlp"

// The installer's main window. Every command and every engine operation runs
// on it; it owns the picture, the program item slots, the disk last confirmed
// and the link to Program Manager.
class TInstallWindow : public TFrameWindow {
public:
    TInstallWindow(TWindow* parent, const char* title);
    ~TInstallWindow() override;

    // Close query: refuses while a run is in progress, otherwise writes the
    // options file and agrees.
    bool CanClose() override { return !RunInProgress && SaveOptionsOnClose(); }
    bool SaveOptionsOnClose();

    // Menu commands. A run (installation or update) lasts from its command to
    // its completion question; while one lasts, the run commands do nothing.
    void RunExclusive(void (TInstallWindow::*command)());
    bool IsRunInProgress() const { return RunInProgress; }
    void InstallLocal();
    void InstallNetwork();
    void RunInstallation(int dialogResource);
    void MaintenanceUpdate();
    void ShowHelp();

    // Source disks and expansion.
    bool PromptForDisk(int disk);
    bool PromptForDisk(int disk, char drive);
    bool ExpandListFile(const char* listName, const char* destDir, const char* sourceDir,
                        const char* caption, LONG& lastResult);
    bool PrepareDirectories();
    bool InstallComponents();
    void EmptyProgramSlots();

    // Options file and installation marker.
    void ReadOptions();
    bool WriteOptions();
    void WriteMarkerFile();

    // Program Manager link.
    void InitDde();
    void CreateProgramGroup();
    void CloseDdeLink();
    __declspec(dllexport) static HDDEDATA CALLBACK CallBack(UINT type, UINT format, HCONV conversation, HSZ name1,
                                      HSZ name2, HDDEDATA data, ULONG_PTR value1, ULONG_PTR value2);

    HENHMETAFILE Picture = nullptr;
    int CurrentDisk = 0;
    char* ProgramFile[kProgramSlots] = {};
    char* ItemTitle[kProgramSlots] = {};

    DWORD DdeInstance = 0;
    HCONV Conversation = nullptr;
    HSZ ServiceName = nullptr;
    HSZ TopicName = nullptr;

protected:
    void SetupWindow() override { InitDde(); }
    void Paint(TDC& dc, bool erase, const RECT& rect) override;

private:
    void CaptureProgramItem(const char* file, const char* title);

    PFNCALLBACK DdeCallback = nullptr;
    bool RunInProgress = false;
};

// The beep the NT build gives when the options file cannot be opened or
// created: the platform's MessageBeep unless another is put in its place.
using BeepFunction = BOOL(WINAPI*)(UINT);
extern BeepFunction OptionsBeep;
