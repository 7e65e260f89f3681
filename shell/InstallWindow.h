#pragma once
#include <windows.h>
#include <ddeml.h>

#include "shell/InstallRecordFile.h"
#include "framework/UniqueHandle.h"
#include "shell/MainWindow.h"
#include "shell/plain/ProgramSlots.h"

#include <string>

struct ListPlan;
class TFolderClaim;

// Not on the menu: the window posts it to itself when the run is unattended.
constexpr int CmRunUnattended = 7;

// The style of the boxes shown once the program group is made: the shell
// opens the group's window a moment later, and the box must stay above it
// and keep the foreground (Windows 95's shell and Wine's both open one).
constexpr UINT kBoxInFront = MB_SETFOREGROUND | MB_TOPMOST;

// The installer's main window in the engine. Every command and every engine
// operation runs on it; it owns the program item slots, the disk last
// confirmed and the link to Program Manager. Its members are defined in the
// files named above each group.
class TInstallWindow : public TMainWindow {
public:
    // shell/InstallWindow.cpp: the window, its close query and program slots.
    TInstallWindow(TWindow* parent, const char* title, bool readOptions = true);
    ~TInstallWindow() override;
    bool SaveOptionsOnClose() override;
    void EmptyProgramSlots();
    // The framework's box, which ends an unattended run instead of waiting.
    int ShowMessage(const char* text, const char* title = nullptr, UINT type = MB_OK);
    // The front's command (front/FrontWindow.h) once this window has taken
    // the front's over: an installation from the point after its dialog,
    // whose answers are in Settings; an update from its dialog on.
    void ContinueCommand(int command);

    // dialogs/InstallFlow.cpp: the installation commands: the dialog, then
    // the installation of what it chose.
    void InstallLocal();
    void InstallNetwork();
    void RunInstallation(int dialogResource);
    void InstallChosen();

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

    // engine/MarkerFile.cpp: the installation marker.
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

private:
    // engine/ExpandListFile.cpp: the titled programs of a list into free slots.
    void CaptureProgramItems(const ListPlan& plan);

    PFNCALLBACK DdeCallback = nullptr;
};
