#pragma once
#include <cstddef>

// Message numbers: titles and texts share one table.
enum MessageNumber : int {
    MsgInstallationError = 0,
    MsgUpdateError = 3,
    MsgRemovalError = 4,
    MsgDriveNotValid = 6,
    MsgDirectoryNotValid = 7,
    MsgNothingToInstall = 12,
    MsgFileNotFound = 13,
    MsgFileReadError = 14,
    MsgFileCreationError = 15,
    MsgDirectoryCreationError = 16,
    MsgInsufficientDiskSpace = 17,
    MsgInsufficientMemory = 18,
    MsgIncorrectFileFormat = 19,
    MsgCannotRemoveFile = 20,
    MsgCannotCreateMarker = 28,
    MsgUseSetup = 29,
};

// Size of the buffer a report is composed in (79 characters and the terminator).
constexpr std::size_t kMessageSize = 80;
// Room for the advice below a report (a path and a few sentences).
constexpr std::size_t kAdviceSize = 640;

// The entries the removal program shows, named: it reports without the
// whole table, which would not leave it within its size.
extern const char kRemovalErrorText[];      // MsgRemovalError
extern const char kFileReadErrorText[];     // MsgFileReadError
extern const char kCannotRemoveFileText[];  // MsgCannotRemoveFile

// The table entry for a number; the empty string for numbers no operation uses.
const char* MessageText(int number);

// Composes a report's text: the entry alone, or the entry, one space and the
// detail; cut at size-1 characters.
void ComposeMessage(char* buffer, std::size_t size, int textNumber, const char* detail);
