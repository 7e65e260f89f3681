#include "shell/plain/MessageTable.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

TEST(MessageText, HoldsTheExactTextsAtTheirNumbers)
{
    struct Entry { int Number; int Name; const char* Text; };
    const Entry entries[] = {
        {0, MsgInstallationError, "Installation Error"},
        {3, MsgUpdateError, "Update Error"},
        {6, MsgDriveNotValid, "Install from Drive Not Valid"},
        {7, MsgDirectoryNotValid, "Install to Directory Not Valid"},
        {12, MsgNothingToInstall, "Nothing to Install"},
        {13, MsgFileNotFound, "File Not Found"},
        {14, MsgFileReadError, "File Read Error"},
        {15, MsgFileCreationError, "File Creation Error"},
        {16, MsgDirectoryCreationError, "Directory Creation Error"},
        {17, MsgInsufficientDiskSpace, "Insufficient Disk Space"},
        {18, MsgInsufficientMemory, "Insufficient Memory"},
        {19, MsgIncorrectFileFormat, "Incorrect File Format"},
        {28, MsgCannotCreateMarker, "Cannot Create TSW_FILE.CHK"},
        {29, MsgUseSetup, "Install Tessaryn with SETUP.EXE"},
    };
    for (const Entry& entry : entries) {
        EXPECT_STREQ(entry.Text, MessageText(entry.Number)) << entry.Number;
        // The names the callers use stand for those numbers.
        EXPECT_EQ(entry.Number, entry.Name) << entry.Text;
    }
}

TEST(MessageText, GivesAnEmptyTextForNumbersOutsideTheTable)
{
    for (int number : {-1, 1, 30, 31, 1000}) {
        ASSERT_NE(nullptr, MessageText(number)) << number;
        EXPECT_STREQ("", MessageText(number)) << number;
    }
}

TEST(ComposeMessage, JoinsTextAndDetailWithOneSpace)
{
    char text[kMessageSize];
    ComposeMessage(text, sizeof text, MsgDirectoryCreationError, "C:\\TSW30\\LOOKUP");
    EXPECT_STREQ("Directory Creation Error C:\\TSW30\\LOOKUP", text);
    ComposeMessage(text, sizeof text, MsgFileNotFound, "TSW.EX_");
    EXPECT_STREQ("File Not Found TSW.EX_", text);
}

TEST(ComposeMessage, LeavesTheTextUnchangedWithoutDetail)
{
    char text[kMessageSize];
    std::memset(text, 'x', sizeof text);
    ComposeMessage(text, sizeof text, MsgNothingToInstall, nullptr);
    EXPECT_STREQ("Nothing to Install", text);
}

TEST(ComposeMessage, CutsALongCompositionAt79Characters)
{
    ASSERT_EQ(80u, kMessageSize);
    const std::string detail = "C:\\" + std::string(120, 'D') + "\\TSW.EX_";
    char text[kMessageSize + 16];
    std::memset(text, '#', sizeof text);
    ComposeMessage(text, kMessageSize, MsgFileNotFound, detail.c_str());
    EXPECT_EQ(79u, std::strlen(text));
    EXPECT_EQ(("File Not Found " + detail).substr(0, 79), text);
    // Nothing beyond the buffer it was given is touched.
    for (std::size_t i = kMessageSize; i < sizeof text; ++i) EXPECT_EQ('#', text[i]) << i;
}
