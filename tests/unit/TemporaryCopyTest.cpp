#include "launcher/TemporaryCopy.h"

#include "tests/kit/DiskSet.h"
#include "tests/kit/FileTree.h"
#include "tests/kit/TempFolder.h"

#include <gtest/gtest.h>

// An expansion that the library reports done but that a write fault left
// empty: the file of that length.
template <LONG length>
static LONG WINAPI ExpandLeavingEmpty(INT source, INT destination)
{
    const LONG written = ::LZCopy(source, destination);
    HANDLE file = reinterpret_cast<HANDLE>(static_cast<INT_PTR>(destination));
    if (written == length && ::SetFilePointer(file, 0, nullptr, FILE_BEGIN) == 0) ::SetEndOfFile(file);
    return written;
}

// A compressed installer and removal program and a plain help file (as on an
// older disk 1) come out whole, the help and the removal program only when
// asked for after the installer's start, each on its own; a
// file that does not come out its declared length leaves nothing, and one
// cut short on the disk is named.
TEST(TemporaryCopy, ExpandsEachFileToItsDeclaredLengthOrLeavesNothing)
{
    TempFolder temporary("copy-temp");
    TempFolder disk("copy-disk");
    ASSERT_TRUE(WriteFileBytes(disk / "TSINST95.EX_", Compress("installer")) &&
                WriteFileBytes(disk / "TSW_INST.HLP", "help") &&
                WriteFileBytes(disk / "TSWREMOV.EX_", Compress("remover")));
    const std::string source = disk.Path() + "\\";
    const std::vector<std::string> nothing;
    {
        TemporaryCopy copy(ExpandLeavingEmpty<9>);  // the installer
        ASSERT_TRUE(copy.Find(source.c_str(), "TSINST95.EXE", "TSINST95.DLL"));
        EXPECT_EQ(20u, copy.Need().Bytes);
        EXPECT_EQ(TemporaryCopy::Result::PlaceFailed, copy.Make(temporary.Path().c_str()));
        EXPECT_EQ(nothing, Names(temporary.Path()));
    }
    {
        TemporaryCopy copy(ExpandLeavingEmpty<4>);  // the help, which is then left out
        ASSERT_TRUE(copy.Find(source.c_str(), "TSINST95.EXE", "TSINST95.DLL"));
        ASSERT_EQ(TemporaryCopy::Result::Made, copy.Make(temporary.Path().c_str()));
        copy.AddLateFiles();
        EXPECT_EQ((std::vector<std::string>{"TSINST95.EXE", "TSWREMOV.EXE"}), Names(copy.Folder()));
    }
    {
        TemporaryCopy copy;
        ASSERT_TRUE(copy.Find(source.c_str(), "TSINST95.EXE", "TSINST95.DLL"));
        ASSERT_EQ(TemporaryCopy::Result::Made, copy.Make(temporary.Path().c_str()));
        EXPECT_EQ("installer", ReadBytes(copy.Installer()));
        EXPECT_EQ(std::vector<std::string>{"TSINST95.EXE"}, Names(copy.Folder()));
        copy.AddLateFiles();
        EXPECT_EQ("help", ReadBytes(std::string(copy.Folder()) + "\\TSW_INST.HLP"));
        EXPECT_EQ("remover", ReadBytes(std::string(copy.Folder()) + "\\TSWREMOV.EXE"));
    }
    EXPECT_EQ(nothing, Names(temporary.Path()));
    ASSERT_TRUE(WriteFileBytes(disk / "TSINST95.EX_", Compress(std::string(100, 'x')).substr(0, 20)));
    TemporaryCopy cut;
    ASSERT_TRUE(cut.Find(source.c_str(), "TSINST95.EXE", "TSINST95.DLL"));
    EXPECT_EQ(TemporaryCopy::Result::SourceDamaged, cut.Make(temporary.Path().c_str()));
    EXPECT_EQ(disk / "TSINST95.EX_", std::string(cut.Damaged()));
    EXPECT_EQ(nothing, Names(temporary.Path()));
}
