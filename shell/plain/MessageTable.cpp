#include "shell/plain/MessageTable.h"

#include "shell/plain/FormatText.h"

const char kRemovalErrorText[] = "Removal Error";
const char kFileReadErrorText[] = "File Read Error";
const char kCannotRemoveFileText[] = "Cannot Remove File";

namespace {
const char* const Table[] = {
    "Installation Error",              // 0
    "",
    "",
    "Update Error",                    // 3
    kRemovalErrorText,                 // 4
    "",
    "Install from Drive Not Valid",    // 6
    "Install to Directory Not Valid",  // 7
    "",
    "",
    "",
    "",
    "Nothing to Install",              // 12
    "File Not Found",                  // 13
    kFileReadErrorText,                // 14
    "File Creation Error",             // 15
    "Directory Creation Error",        // 16
    "Insufficient Disk Space",         // 17
    "Insufficient Memory",             // 18
    "Incorrect File Format",           // 19
    kCannotRemoveFileText,             // 20
    "",
    "",
    "",
    "",
    "",
    "",
    "",
    "Cannot Create TSW_FILE.CHK",      // 28
    "Install Tessaryn with SETUP.EXE", // 29
};
constexpr int TableSize = static_cast<int>(sizeof(Table) / sizeof(Table[0]));
}

const char* MessageText(int number)
{
    if (number < 0 || number >= TableSize) return "";
    return Table[number];
}

void ComposeMessage(char* buffer, std::size_t size, int textNumber, const char* detail)
{
    if (detail)
        FormatText(buffer, size, "%s %s", MessageText(textNumber), detail);
    else
        FormatText(buffer, size, "%s", MessageText(textNumber));
}
