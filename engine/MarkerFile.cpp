#include "shell/InstallWindow.h"

#include "engine/DestinationFile.h"
#include "engine/FileSteps.h"
#include "engine/ReplacementSet.h"
#include "engine/plain/Crc32.h"
#include "engine/plain/OptionsFile.h"
#include "shell/ReportMessage.h"
#include "shell/plain/MessageTable.h"
#include "shell/plain/PathHelpers.h"
#include "shell/plain/Settings.h"

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
