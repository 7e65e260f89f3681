#pragma once
#include <windows.h>
#include <ddeml.h>

#include "shell/InstallRecordFile.h"
#include "framework/FrameWindow.h"
#include "framework/UniqueHandle.h"
#include "shell/plain/ProgramSlots.h"

#include <string>

struct ListPlan;
class TFolderClaim;

// Menu commands of the main window (the menu INSTALL_COMMANDS).
enum InstallCommand : int { CmInstallLocal = 1, CmInstallNetwork = 2, CmMaintenanceUpdate = 5, CmHelp = 6 };
// Not on the menu: the window posts it to itself when the run is unattended.
constexpr int CmRunUnattended = 7;

extern const char* const MainWindowTitle;  // "Tessaryn 3.0 Installation"

// The style of the boxes shown once the program group is made: the shell
// opens the group's window a moment later, and the box must stay above it
// and keep the foreground (Windows 95's shell and Wine's both open one).
constexpr UINT kBoxInFront = MB_SETFOREGROUND | MB_TOPMOST;

// The installer's main window. Every command and every engine operation runs
// on it; it owns the picture, the program item slots, the disk last confirmed
// and the link to Program Manager. Its members are defined in the files named
// above each group.
class TInstallWindow : public TFrameWindow {
public:
    // shell/InstallWindow.cpp: the window, its close query, help and program slots.
    TInstallWindow(TWindow* parent, const char* title);
    ~TInstallWindow() override;
    // Close query: refuses while a run is in progress, otherwise writes the
    // options file and agrees.
    bool CanClose() override { return !RunInProgress && SaveOptionsOnClose(); }
    bool SaveOptionsOnClose();
    void ShowHelp();
    void EmptyProgramSlots();
    // A run (installation or update) lasts from its command to its completion
    // question; while one lasts, the run commands do nothing.
    void RunExclusive(void (TInstallWindow::*command)());
    bool IsRunInProgress() const { return RunInProgress; }
    // The framework's box, which ends an unattended run instead of waiting.
    int ShowMessage(const char* text, const char* title = nullptr, UINT type = MB_OK);

    // dialogs/InstallFlow.cpp: the installation commands.
    void InstallLocal();
    void InstallNetwork();
    void RunInstallation(int dialogResource);

    // dialogs/UnattendedInstall.cpp: an unattended run, an installation or
    // an update as its source holds (engine/plain/SourceKind.h).
    void RunUnattended();
    void InstallUnattended();

    // dialogs/MaintenanceUpdate.cpp: the update command, and the update of an
    // unattended run: the installation INSTALL.OPT names (or the default
    // folder) updated from the source drive, no dialog, no question.
    void MaintenanceUpdate();
    void UpdateUnattended();
    // The update once its target and source (a buffer of kUpdateSourceSize)
    // are known, to its end; the completion question is its caller's. True
    // when complete.
    bool UpdateFrom(char* updateSource);

    // engine/DiskPrompt.cpp: source disks.
    bool PromptForDisk(int disk);
    bool PromptForDisk(int disk, char drive);

    // engine/ExpandListFile.cpp: one list file, read whole and checked, then
    // expanded file by file; or a list its caller has read and checked
    // already, expanded all or nothing (an update: no file takes its
    // installed name before every one is whole). `diskRoot` is the root of
    // the disk `sourceDir` is on, where its checksum list is (null: the
    // source folder itself).
    bool ExpandListFile(const char* listName, const char* destDir, const char* sourceDir,
                        const char* caption, LONG& lastResult, const char* diskRoot = nullptr);
    bool ExpandListPlan(const ListPlan& plan, const char* caption, LONG& lastResult, TFolderClaim* claim = nullptr);
    // The removal program SETUP.EXE handed beside the installer, installed
    // into the target as every file is (the program component's last step).
    // True when it was installed, or is not beside the installer (an older
    // disk 1: RemovalInstalled stays false); false once the person cancels.
    bool InstallRemovalProgram(LONG& lastResult);

    // engine/RemovalRegistrar.cpp: after a complete installation with the
    // removal program, its Uninstall key where the system has one; where it
    // has none or the key cannot be written, the group's removal item.
    void RegisterRemoval();
    bool RemovalInstalled = false;
    bool RemovalItem = false;

    // engine/InterruptedUpdate.cpp: an update that a power cut interrupted in
    // `folder` (the installation's), finished (every new file whole: each
    // takes its name) or undone (its scratch files removed) as its record
    // says; then, with `claim`, the folder held for this run. False, reported
    // under `title`, when the record cannot be read, another run holds it
    // (Retry waits for that run's end), or a file cannot take its name:
    // nothing else may be done there then.
    bool FinishInterruptedUpdate(const char* folder, int title, TFolderClaim* claim = nullptr);
    bool FinishFromRecord(const std::string& recordPath, TFile& taken, int title);

    // engine/InstallDriver.cpp: the lists of an installation.
    bool PrepareDirectories(TFolderClaim* claim = nullptr);
    bool InstallComponents();

    // engine/RunSizes.cpp: what a run writes, known before it writes
    // anything: the room it needs on the target's drive, and how far it has
    // come (engine/RunSizes.h). An installation takes the set's sizes from
    // disk 1 in the source drive (where another disk is there, once disk 1
    // is confirmed); an update from its source. False once reported (a size
    // list that does not read right or leaves out a file of the update's
    // `plan`, too little room and Abort).
    bool PlanInstallationRun();
    bool ReadSizesOfSet();
    bool PlanUpdateRun(const char* updateSource, ListPlan& plan);

    // engine/OptionsIo.cpp: options file and installation marker.
    void ReadOptions();
    bool WriteOptions();
    void WriteMarkerFile();

    // progman/DdeLink.cpp: the Program Manager link.
    void InitDde();
    void CreateProgramGroup();
    void CloseDdeLink();
    // Given to DdeInitializeA by its address: Win32 needs no export for it.
    static HDDEDATA CALLBACK CallBack(UINT type, UINT format, HCONV conversation, HSZ name1,
                                      HSZ name2, HDDEDATA data, ULONG_PTR value1, ULONG_PTR value2);

    // The record and log of the run in progress (shell/InstallRecordFile.h).
    TInstallRecordFile Record;

    TMetaFile Picture;
    int CurrentDisk = 0;
    std::string ProgramFile[kProgramSlots];  // empty: a free slot
    std::string ItemTitle[kProgramSlots];

    TDdeInstance DdeInstance;
    HCONV Conversation = nullptr;
    TDdeString ServiceName;
    TDdeString TopicName;

protected:
    // shell/InstallWindow.cpp
    void SetupWindow() override;
    void Paint(TDC& dc, bool erase, const RECT& rect) override;
    // As the window goes, the help viewer it opened goes too.
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    // engine/ExpandListFile.cpp: the titled programs of a list into free slots.
    void CaptureProgramItems(const ListPlan& plan);

    PFNCALLBACK DdeCallback = nullptr;
    bool RunInProgress = false;
};

// engine/OptionsIo.cpp. The beep the NT build gives when the options file
// cannot be opened or created: the platform's MessageBeep unless another is
// put in its place.
using BeepFunction = BOOL(WINAPI*)(UINT);
extern BeepFunction OptionsBeep;
