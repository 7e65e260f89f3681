#include "shell/InstallWindow.h"

#include "engine/DestinationFile.h"
#include "engine/FileSteps.h"
#include "engine/ReplacementSet.h"
#include "engine/plain/Crc32.h"
#include "engine/plain/OptionsFile.h"
#include "framework/UniqueHandle.h"
#include "shell/BuildVariant.h"
#include "shell/ReportMessage.h"
#include "shell/plain/FormatText.h"
#include "shell/plain/MessageTable.h"
#include "shell/plain/PathHelpers.h"
#include "shell/plain/Settings.h"

BeepFunction OptionsBeep = &::MessageBeep;

namespace {
void OptionsFileName(char (&name)[16])
{
    FormatText(name, sizeof name, "%c:\\INSTALL.OPT", SourceDrive[0]);
}

// Opens INSTALL.OPT on the source drive; the NT build beeps when it cannot.
TFile OpenOptionsFile(DWORD access, DWORD creation)
{
    char name[16];
    OptionsFileName(name);
    // Read, it is shared with other readers: the installations from one
    // installation point read it at once.
    const DWORD share = access == GENERIC_READ ? FILE_SHARE_READ : 0;
    TFile file(::CreateFileA(name, access, share, nullptr, creation, FILE_ATTRIBUTE_ARCHIVE, nullptr));
    if (!file.IsValid() && IsNtBuild && OptionsBeep) OptionsBeep(0);
    return file;
}
}

void TInstallWindow::ReadOptions()
{
    TFile file = OpenOptionsFile(GENERIC_READ, OPEN_EXISTING);
    if (!file.IsValid()) return;
    OptionsImage image{};
    DWORD read = 0;
    ::ReadFile(file.Get(), image.data(), static_cast<DWORD>(image.size()), &read, nullptr);
    DecodeOptions(image.data(), read, Settings);
}

bool TInstallWindow::WriteOptions()
{
    TFile file = OpenOptionsFile(GENERIC_WRITE, CREATE_ALWAYS);
    if (!file.IsValid()) return false;
    OptionsImage image = EncodeOptions(Settings);
    DWORD written = 0;
    ::WriteFile(file.Get(), image.data(), static_cast<DWORD>(image.size()), &written, nullptr);
    return true;
}

void TInstallWindow::WriteMarkerFile()
{
    // Made as every installed file is: whole under a scratch name, flushed,
    // then given its name; a full disk leaves no empty marker.
    const char* joined = JoinPath(Settings.TargetDirectory, "TSW_FILE.CHK", 0);
    const std::string path = joined ? joined : "";
    TReplacementSet set(FolderOf(path.c_str()), false);
    std::string refused;
    const FILETIME unknown = {};
    const std::string bytes(MarkerFileBytes, kMarkerFileSize);
    const ExpandedContents contents = {Crc32(0, bytes.data(), bytes.size()), kMarkerFileSize};
    const bool written = joined && set.Begin(FileNamePart(path.c_str()), refused) == 0 &&
                         WriteStep(set.Writing().Get(), path, bytes) && set.Finish(unknown, contents) == 0 &&
                         set.Commit(refused) == 0;
    // The marker is written once the group is made.
    if (!written) ReportMessage(GetHandle(), MsgInstallationError, MsgCannotCreateMarker, nullptr, kBoxInFront);
}
