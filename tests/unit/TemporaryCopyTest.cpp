#include "launcher/TemporaryCopy.h"

#include "tests/kit/FileBytes.h"
#include "tests/kit/FileTree.h"
#include "tests/kit/TempFolder.h"

#include <gtest/gtest.h>

namespace {
// A copy step that reports success for a help file it left empty, as the
// platform's copy does after a read error.
BOOL WINAPI CopyLeavingTheHelpEmpty(LPCSTR from, LPCSTR to, BOOL failIfExists)
{
    if (!::CopyFileA(from, to, failIfExists)) return FALSE;
    const std::string name(to);
    if (name.size() > 4 && name.compare(name.size() - 4, 4, ".HLP") == 0) WriteFileBytes(name, "");
    return TRUE;
}
}

TEST(TemporaryCopy, ACopyOfAnotherSizeThanItsSourceFailsAndLeavesNothing)
{
    TempFolder temporary("copy-temp");
    TempFolder disk("copy-disk");
    ASSERT_TRUE(WriteFileBytes(disk / "TSINST95.EXE", "installer"));
    ASSERT_TRUE(WriteFileBytes(disk / "TSW_INST.HLP", "help"));
    const std::string source = disk.Path() + "\\";
    {
        TemporaryCopy copy(CopyLeavingTheHelpEmpty);
        EXPECT_FALSE(copy.Make(temporary.Path().c_str(), source.c_str(), "TSINST95.EXE"));
        EXPECT_STREQ("", copy.Folder());
        EXPECT_TRUE(Names(temporary.Path()).empty());
    }
    TemporaryCopy copy;
    ASSERT_TRUE(copy.Make(temporary.Path().c_str(), source.c_str(), "TSINST95.EXE"));
    EXPECT_EQ("help", ReadBytes(std::string(copy.Folder()) + "\\TSW_INST.HLP"));
}
