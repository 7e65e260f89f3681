#include "launcher/TemporaryCopy.h"

#include "tests/kit/FileTree.h"
#include "tests/kit/TempFolder.h"

#include <gtest/gtest.h>

// A copy that the platform reports done but that a read error left empty.
static BOOL WINAPI CopyLeavingTheHelpEmpty(LPCSTR from, LPCSTR to, BOOL failIfExists)
{
    const std::string name(to);
    return ::CopyFileA(from, to, failIfExists) && (name.find(".HLP") == std::string::npos || WriteFileBytes(name, ""));
}

TEST(TemporaryCopy, ACopyOfAnotherSizeThanItsSourceFailsAndLeavesNothing)
{
    TempFolder temporary("copy-temp");
    TempFolder disk("copy-disk");
    ASSERT_TRUE(WriteFileBytes(disk / "TSINST95.EXE", "installer") && WriteFileBytes(disk / "TSW_INST.HLP", "help"));
    const std::string source = disk.Path() + "\\";
    TemporaryCopy shortCopy(CopyLeavingTheHelpEmpty);
    EXPECT_FALSE(shortCopy.Make(temporary.Path().c_str(), source.c_str(), "TSINST95.EXE"));
    EXPECT_EQ(std::vector<std::string>(), Names(temporary.Path()));
    TemporaryCopy copy;
    ASSERT_TRUE(copy.Make(temporary.Path().c_str(), source.c_str(), "TSINST95.EXE"));
    EXPECT_EQ("help", ReadBytes(std::string(copy.Folder()) + "\\TSW_INST.HLP"));
}
