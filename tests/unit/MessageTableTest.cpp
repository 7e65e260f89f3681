#include "shell/plain/MessageTable.h"
#include "shell/plain/FormatText.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <functional>
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

TEST(FormatText, FormatsTheInstallersTextsBoundedAndTerminated)
{
    struct Case { std::size_t Size; const char* Expected; std::function<void(char*, std::size_t)> Format; };
    const Case cases[] = {
        {80, "Place Program Disk 2 in Drive A",
         [](char* b, std::size_t n) { FormatText(b, n, "Place Program Disk %d in Drive %c", 2, 'A'); }},
        {16, "B:\\INSTALL.OPT", [](char* b, std::size_t n) { FormatText(b, n, "%c:\\INSTALL.OPT", 'B'); }},
        {16, "A:\\LOOKUP", [](char* b, std::size_t n) { FormatText(b, n, "%c:\\%s", 'A', "LOOKUP"); }},
        {80, "Expanding TSW.EXE . . .", [](char* b, std::size_t n) { FormatText(b, n, "Expanding %s . . .", "TSW.EXE"); }},
        // Numbers at both ends of int.
        {80, "-2147483648 2147483647 0 -7",
         [](char* b, std::size_t n) { FormatText(b, n, "%d %d %d %d", INT_MIN, INT_MAX, 0, -7); }},
        // A null string gives nothing.
        {80, "[]", [](char* b, std::size_t n) {
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat"
#pragma GCC diagnostic ignored "-Wformat-overflow"
             FormatText(b, n, "[%s]", static_cast<const char*>(nullptr));
#pragma GCC diagnostic pop
         }},
        // %% is one percent sign, anything else after % is copied, a lone % at
        // the end too (not a literal: the compiler would object to it).
        {80, "100% %x %", [](char* b, std::size_t n) {
             const char* format = "100%% %x %";
             FormatText(b, n, format, 0);
         }},
        // Cut at size-1 characters, also inside a string, a number or before a %c.
        {10, "C:\\TSW30\\", [](char* b, std::size_t n) { FormatText(b, n, "%s\\%s", "C:\\TSW30", "USER_DLL"); }},
        {4, "-12", [](char* b, std::size_t n) { FormatText(b, n, "%d", -12345); }},
        {3, "AB", [](char* b, std::size_t n) { FormatText(b, n, "AB%c", 'C'); }},
        {1, "", [](char* b, std::size_t n) { FormatText(b, n, "%s", "anything"); }},
    };
    for (const Case& c : cases) {
        char text[96];
        std::memset(text, '#', sizeof text);
        c.Format(text, c.Size);
        EXPECT_STREQ(c.Expected, text) << c.Expected;
        // Nothing beyond the size it was given is touched.
        for (std::size_t i = c.Size; i < sizeof text; ++i) ASSERT_EQ('#', text[i]) << c.Expected << " at " << i;
    }
    // A size of 0 writes nothing at all.
    char untouched = '#';
    FormatText(&untouched, 0, "%s", "x");
    EXPECT_EQ('#', untouched);
}
