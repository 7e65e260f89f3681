#include "shell/plain/PathHelpers.h"
#include "tests/unit/DoubleByte.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <string>

namespace {
bool WesternCodePage(unsigned char)
{
    return false;
}
}

TEST(FileNamePart, FindsTheNameAfterTheLastSeparator)
{
    EXPECT_STREQ("", FileNamePart("C:\\DIR\\"));
    EXPECT_STREQ("README.TXT", FileNamePart("A:README.TXT"));
    EXPECT_STREQ("README.TXT", FileNamePart("README.TXT"));
    // A backslash is present, so the colon is not considered.
    EXPECT_STREQ("A:B", FileNamePart("C:\\A:B"));
    char path[] = "A:\\SETUP\\TSINST95.EXE";
    char* name = FileNamePart(path);
    *name = '\0';
    EXPECT_STREQ("A:\\SETUP\\", path);
}

TEST(FileExtension, IsFromTheFirstDotOfTheNameAndNeverNull)
{
    EXPECT_STREQ(".OLD.TXT", FileExtension("DATA.OLD.TXT"));
    const char* plain = "README";
    EXPECT_EQ(plain + 6, FileExtension(plain));
    EXPECT_STREQ("", FileExtension("C:\\DIR.X\\FILE"));
    EXPECT_STREQ("", FileExtension("C:\\V1.0\\README"));
    EXPECT_STREQ(".exe", FileExtension("C:\\V1.0\\tsw.exe"));
}

TEST(JoinPath, JoinsDirectoriesDrivesAndRoots)
{
    EXPECT_STREQ("C:\\TSW30\\TSW.EXE", JoinPath("C:\\TSW30", "TSW.EXE", 0));
    EXPECT_STREQ("C:\\TSW30\\TSW.EXE", JoinPath("C:\\TSW30\\", "TSW.EXE", 0));
    EXPECT_STREQ("A:\\disk_1.lst", JoinPath("A:", "disk_1.lst", 0));
    // A drive root keeps its backslash: never a path relative to the drive's
    // current directory.
    EXPECT_STREQ("C:\\x", JoinPath("C:\\", "x", 0));
    EXPECT_STREQ("C:\\x", JoinPath("C:", "x", 0));
    EXPECT_STREQ("A:\\disk_1.lst", JoinPath("A:\\", "disk_1.lst", 0));
    // Three characters that are not a root are a directory like any other.
    EXPECT_STREQ("D:X\\TSW.EXE", JoinPath("D:X", "TSW.EXE", 0));
    EXPECT_STREQ("LOOKUP\\A.TBL", JoinPath("LOOKUP", "A.TBL", 0));
    EXPECT_STREQ("install.emf", JoinPath("", "install.emf", 0));
}

TEST(JoinPath, SharesOneBufferBetweenCalls)
{
    char* first = JoinPath("C:\\A", "one", 0);
    char* second = JoinPath("C:\\B", "two", 0);
    EXPECT_EQ(first, second);
    EXPECT_STREQ("C:\\B\\two", first);
}

TEST(JoinPath, RefusesAJoinLongerThan259Characters)
{
    std::string directory = "C:\\" + std::string(250, 'D');  // 253 characters
    std::string fits(5, 'n');                                 // 253 + 1 + 5 = 259
    ASSERT_NE(nullptr, JoinPath(directory.c_str(), fits.c_str(), 0));
    EXPECT_EQ(259u, std::strlen(JoinPath(directory.c_str(), fits.c_str(), 0)));
    std::string tooLong(6, 'n');
    EXPECT_EQ(nullptr, JoinPath(directory.c_str(), tooLong.c_str(), 0));
    std::string huge(5000, 'x');
    EXPECT_EQ(nullptr, JoinPath(huge.c_str(), huge.c_str(), 0));
}

TEST(JoinPath, ExistenceTestCountsDirectoriesAndRefusesMissingNames)
{
    char windows[MAX_PATH];
    ASSERT_GT(::GetWindowsDirectoryA(windows, sizeof windows), 0u);
    std::string parent(windows);
    std::string dir = parent.substr(0, parent.rfind('\\'));
    std::string leaf = parent.substr(parent.rfind('\\') + 1);
    EXPECT_NE(nullptr, JoinPath(dir.c_str(), leaf.c_str(), 1));
    EXPECT_EQ(nullptr, JoinPath(dir.c_str(), "no-such-name-here.xyz", 1));
    // The buffer still holds the joined path after a failed test.
    EXPECT_STREQ((dir + "\\no-such-name-here.xyz").c_str(), JoinPath(dir.c_str(), "no-such-name-here.xyz", 0));
}

TEST(TrimSpaces, RemovesOnlySpacesAtBothEnds)
{
    char inner[] = "  A B  ";
    TrimSpaces(inner);
    EXPECT_STREQ("A B", inner);
    char spaces[] = "   ";
    TrimSpaces(spaces);
    EXPECT_STREQ("", spaces);
    char empty[] = "";
    TrimSpaces(empty);
    EXPECT_STREQ("", empty);
    // A line feed is not a space: trailing spaces before it stay.
    char line[] = "  TSW.EXE   \n";
    TrimSpaces(line);
    EXPECT_STREQ("TSW.EXE   \n", line);
    char tab[] = "\tA ";
    TrimSpaces(tab);
    EXPECT_STREQ("\tA", tab);
}

TEST(UpperCaseAscii, ChangesOnlyLettersAToZ)
{
    char text[] = "c:\\apps\\tsw-\xe9z[";
    UpperCaseAscii(text, WesternCodePage);
    EXPECT_STREQ("C:\\APPS\\TSW-\xe9Z[", text);
}

// The helpers in a double-byte code page, whatever the code page of the
// machine running the tests (and with the system's own test in a Japanese
// locale): Shift-JIS "C:\データ" (83 66 is "デ", its second byte a "f") and
// "C:\電波\性能" (94 5C is "能", its second byte a backslash).
TEST(DoubleByteCodePage, OnlySingleByteLettersAndRealBackslashesCount)
{
    // The suite's run in a Japanese locale must meet the system's own test.
    if (const char* asked = std::getenv("TSINST_EXPECTED_ACP")) {
        EXPECT_EQ(std::strtoul(asked, nullptr, 10), ::GetACP());
    }
    for (LeadByteTest isLead : ShiftJisLeadByteTests()) {
        SCOPED_TRACE(isLead == SystemLeadByte ? "the system's test" : "a Shift-JIS test");
        char data[] = "c:\\\x83\x66\x81\x5b\x83\x5e\\tsw";
        UpperCaseAscii(data, isLead);
        EXPECT_STREQ("C:\\\x83\x66\x81\x5b\x83\x5e\\TSW", data);

        const char* radio = "C:\\\x93\x64\x94\x67\\\x90\xab\x94\x5c";
        EXPECT_FALSE(EndsWithBackslash(radio, isLead));
        EXPECT_TRUE(EndsWithBackslash(radio, WesternCodePage));
        EXPECT_EQ(std::string(radio) + "\\TSW.EXE", JoinedPath(radio, "TSW.EXE", isLead));
        EXPECT_STREQ((std::string(radio) + "\\TSW.EXE").c_str(), JoinPath(radio, "TSW.EXE", 0, isLead));
        EXPECT_EQ(std::string(radio) + "\\x", JoinedPath(std::string(radio) + "\\", "x", isLead));
        // A file name whose last character ends in 0x5C is still the file name.
        EXPECT_STREQ("\x94\x5c.EXE", FileNamePart("C:\\X\\\x94\x5c.EXE", isLead));
        // A real backslash after such a character counts.
        EXPECT_TRUE(EndsWithBackslash("C:\\\x94\x5c\\", isLead));
    }
}
