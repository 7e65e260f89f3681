#include "dialogs/plain/EntryChecks.h"

#include "dialogs/UpdateDialog.h"

#include <gtest/gtest.h>

#include <string>
#include <type_traits>

// The update dialog reads up to kUpdateSourceSize characters into the caller's
// buffer: it takes only a buffer of exactly that size, never a bare pointer.
static_assert(std::is_constructible_v<TUpdatetsw_Dlg, TWindow*, char (&)[kUpdateSourceSize]>);
static_assert(!std::is_constructible_v<TUpdatetsw_Dlg, TWindow*, char*>);
static_assert(!std::is_constructible_v<TUpdatetsw_Dlg, TWindow*, char (&)[kUpdateSourceSize - 1]>);

TEST(IsAcceptableInstallDirectory, RefusesWhatCannotBeATargetDrive)
{
    const char* const refused[] = {
        "A:\\TSW30", "B:\\TSW30", "3:\\X", "\\\\SERVER\\SHARE\\TSW", "TSW30", "", "C", ":\\X",
        "@:\\X", "C:\\A\"B", "\"C:\\TSW30\"", "\x80:\\X", "\xC3:\\X", "\xFF:",
    };
    for (const char* directory : refused) EXPECT_FALSE(IsAcceptableInstallDirectory(directory)) << directory;
}

TEST(IsAcceptableInstallDirectory, TakesADriveFromCOnwards)
{
    const char* const accepted[] = {
        "C:", "C:\\TSW30", "Z:\\APPS\\TSW", "D:X",
        // Codes 91 to 127 pass the check as well.
        "[:\\X", "_:\\X", "z:\\X", "\x7F:\\X",
    };
    for (const char* directory : accepted) EXPECT_TRUE(IsAcceptableInstallDirectory(directory)) << directory;
}

TEST(IsAcceptableUpdateDirectory, RefusesEmptyTextDoubleQuotesAndOverlongDirectories)
{
    const std::string longest = "C:\\" + std::string(76, 'D');
    EXPECT_TRUE(IsAcceptableUpdateDirectory(longest.c_str()));
    EXPECT_TRUE(IsAcceptableInstallDirectory(longest.c_str()));
    EXPECT_FALSE(IsAcceptableUpdateDirectory((longest + "X").c_str()));
    EXPECT_FALSE(IsAcceptableInstallDirectory((longest + "X").c_str()));
    EXPECT_TRUE(IsAcceptableUpdateDirectory("C:\\TSW30"));
    EXPECT_TRUE(IsAcceptableUpdateDirectory("TSW30"));
    EXPECT_FALSE(IsAcceptableUpdateDirectory(""));
    EXPECT_FALSE(IsAcceptableUpdateDirectory("C:\\TS\"W"));
}

TEST(IsBareDriveLetter, TakesOnlyALetterAToZAlone)
{
    for (const char* drive : {"A", "C", "Z"}) EXPECT_TRUE(IsBareDriveLetter(drive)) << drive;
    // "." and "\" are folders, never the drives ".:" and "\:".
    for (const char* folder : {".", "\\", "", "1", "@", "[", "C:", "CD", "C:\\UPD"})
        EXPECT_FALSE(IsBareDriveLetter(folder)) << folder;
}
