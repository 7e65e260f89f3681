#include "shell/InstallApp.h"
#include "shell/LauncherNotification.h"
#include "shell/plain/CommandLine.h"
#include "tests/unit/DoubleByte.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace {
// argv as the runtime hands it over: writable strings, the installer's path first.
class Arguments {
public:
    Arguments(std::initializer_list<std::string> arguments)
        : Storage(arguments)
    {
        for (std::string& argument : Storage) Pointers.push_back(&argument[0]);
        Pointers.push_back(nullptr);
    }
    int Count() const { return static_cast<int>(Storage.size()); }
    char** Vector() { return Pointers.data(); }

private:
    std::vector<std::string> Storage;
    std::vector<char*> Pointers;
};

LaunchArguments Parse(Arguments arguments)
{
    return ParseLaunchArguments(arguments.Count(), arguments.Vector());
}
}

TEST(ParseLaunchArguments, WithoutTheLauncherArgumentsIsIncompleteButKnowsItsDirectory)
{
    LaunchArguments none = Parse({"A:\\SETUP\\TSINST95.EXE"});
    EXPECT_FALSE(none.Complete);
    EXPECT_STREQ("A:\\SETUP", none.ProgramDirectory);
    EXPECT_STREQ("", none.SourceDrive);
    EXPECT_FALSE(none.HasLauncherWindow);

    LaunchArguments sourceOnly = Parse({"A:\\SETUP\\TSINST95.EXE", "A:\\"});
    EXPECT_FALSE(sourceOnly.Complete);
    EXPECT_STREQ("A:\\SETUP", sourceOnly.ProgramDirectory);
    EXPECT_STREQ("", sourceOnly.SourceDrive);
    EXPECT_FALSE(sourceOnly.HasLauncherWindow);

    LaunchArguments nothing = ParseLaunchArguments(0, nullptr);
    EXPECT_FALSE(nothing.Complete);
    EXPECT_STREQ("", nothing.ProgramDirectory);
}

TEST(ParseLaunchArguments, TakesTheDriveLetterAndTheWindowHandle)
{
    LaunchArguments args = Parse({"A:\\TSINST95.EXE", "A:\\", "1A2B"});
    EXPECT_TRUE(args.Complete);
    EXPECT_STREQ("A", args.SourceDrive);
    EXPECT_TRUE(args.HasLauncherWindow);
    EXPECT_EQ(0x1A2B, args.LauncherWindow);

    // A fourth argument changes nothing, but for an unattended run's switch.
    LaunchArguments extra = Parse({"A:\\TSINST95.EXE", "A:\\", "1A2B", "0"});
    EXPECT_STREQ("A", extra.SourceDrive);
    EXPECT_EQ(0x1A2B, extra.LauncherWindow);
    EXPECT_FALSE(extra.Unattended);
    EXPECT_TRUE(Parse({"A:\\TSINST95.EXE", "A:\\", "1A2B", "/q"}).Unattended);
}

TEST(ParseLaunchArguments, KeepsTheLow16BitsOfALongerWindowArgument)
{
    EXPECT_EQ(0x1A2B, Parse({"T.EXE", "A:\\", "12341A2B"}).LauncherWindow);
    EXPECT_EQ(0x1A2B, Parse({"T.EXE", "A:\\", "10001A2B"}).LauncherWindow);
    // More digits than 32 bits hold: still the last four.
    EXPECT_EQ(0x1A2B, Parse({"T.EXE", "A:\\", "ABCDEF12341A2B"}).LauncherWindow);
    EXPECT_EQ(0x0000, Parse({"T.EXE", "A:\\", "10000"}).LauncherWindow);
}

TEST(ParseLaunchArguments, ReadsTheWindowArgumentAsHexadecimalScanningDoes)
{
    EXPECT_EQ(0x1A2B, Parse({"T.EXE", "A:\\", "1a2b"}).LauncherWindow);
    EXPECT_EQ(0x1A2B, Parse({"T.EXE", "A:\\", "0x1A2B"}).LauncherWindow);
    EXPECT_EQ(0x1A2B, Parse({"T.EXE", "A:\\", " 1A2B"}).LauncherWindow);
    // Scanning stops at the first character that is not a digit.
    LaunchArguments tail = Parse({"T.EXE", "A:\\", "1A2Bxyz"});
    EXPECT_TRUE(tail.HasLauncherWindow);
    EXPECT_EQ(0x1A2B, tail.LauncherWindow);
    // Not "10": the digits are hexadecimal.
    EXPECT_EQ(0x10, Parse({"T.EXE", "A:\\", "10"}).LauncherWindow);
    // Any space of the C locale first; digits of either case.
    EXPECT_EQ(0xABCD, Parse({"T.EXE", "A:\\", "\v\tabCD"}).LauncherWindow);
}

TEST(ParseLaunchArguments, AWindowArgumentThatIsNotHexadecimalNamesNoLauncher)
{
    // No byte from 0x80 up is a digit or a space: a superscript two, a no-break space.
    for (const char* text : {"XYZ", "", " ", "-", "#1A2B", "g1", "\xb2", "\xa0" "1A2B"}) {
        LaunchArguments args = Parse({"T.EXE", "A:\\", text});
        EXPECT_TRUE(args.Complete) << text;
        EXPECT_FALSE(args.HasLauncherWindow) << "\"" << text << "\"";
        EXPECT_STREQ("A", args.SourceDrive) << text;
    }
}

// The program's own C library folds case as the "C" locale: A to Z only,
// never a byte beside them or from 0x80 up (a Shift-JIS lead byte).
TEST(CLocale, FoldsTheCaseOfAToZOnly)
{
    for (int byte : {int('{'), int('`'), int('@'), int('['), 0x80, 0x81})
        EXPECT_TRUE(::toupper(byte) == byte && ::tolower(byte) == byte) << byte;
    EXPECT_TRUE(::toupper('a') == 'A' && ::toupper('z') == 'Z' && ::tolower('A') == 'a' && ::tolower('Z') == 'z');
}

TEST(ParseLaunchArguments, TrimsTheSourceInPlaceAndKeepsTheLetterAsGiven)
{
    Arguments arguments{"T.EXE", "  b:\\", "1A2B"};
    LaunchArguments args = ParseLaunchArguments(arguments.Count(), arguments.Vector());
    EXPECT_STREQ("b", args.SourceDrive);
    EXPECT_STREQ("b:\\", arguments.Vector()[1]);

    EXPECT_STREQ("", Parse({"T.EXE", "", "1A2B"}).SourceDrive);
    EXPECT_STREQ("", Parse({"T.EXE", "   ", "1A2B"}).SourceDrive);
    EXPECT_TRUE(Parse({"T.EXE", "", "1A2B"}).HasLauncherWindow);
}

TEST(DeriveProgramDirectory, IsTheDirectoryPartWithoutItsLastBackslash)
{
    EXPECT_STREQ("A:\\SETUP", Parse({"A:\\SETUP\\TSINST95.EXE"}).ProgramDirectory);
    EXPECT_STREQ("A:", Parse({"A:\\TSINST95.EXE"}).ProgramDirectory);
    EXPECT_STREQ("A:", Parse({"A:TSINST95.EXE"}).ProgramDirectory);
    EXPECT_STREQ("", Parse({"TSINST95.EXE"}).ProgramDirectory);
    EXPECT_STREQ("", Parse({""}).ProgramDirectory);
    EXPECT_STREQ("\\\\SERVER\\SHARE", Parse({"\\\\SERVER\\SHARE\\TSINST95.EXE"}).ProgramDirectory);
}

TEST(DeriveProgramDirectory, BoundsAProgramPathLongerThan255Characters)
{
    std::string directory = "C:\\" + std::string(200, 'D') + "\\" + std::string(100, 'E');
    std::string program = directory + "\\TSINST95.EXE";
    LaunchArguments args = Parse({program, "A:\\", "1A2B"});

    std::size_t length = strnlen(args.ProgramDirectory, sizeof args.ProgramDirectory);
    ASSERT_LT(length, sizeof args.ProgramDirectory);
    // What is kept is a directory above the installer's own, never a made-up one.
    EXPECT_EQ(0, program.compare(0, length, args.ProgramDirectory));
    EXPECT_EQ('\\', program[length]);
    EXPECT_STREQ(("C:\\" + std::string(200, 'D')).c_str(), args.ProgramDirectory);
    // The rest of the record is intact.
    EXPECT_STREQ("A", args.SourceDrive);
    EXPECT_TRUE(args.HasLauncherWindow);
    EXPECT_EQ(0x1A2B, args.LauncherWindow);

    char small[8];
    std::memset(small, 'x', sizeof small);
    DeriveProgramDirectory(small, 6, "A:\\SETUP\\TSINST95.EXE");
    EXPECT_STREQ("A:", small);
    EXPECT_EQ('x', small[6]);
    EXPECT_EQ('x', small[7]);
}

// The command line split as the C start-up splits it, into buffers of
// exactly the size the entry point gives (a guard after each stays intact).
TEST(SplitCommandLine, SplitsAsTheCStartUpDoes)
{
    struct Case {
        const char* Line;
        std::vector<std::string> Expected;
        bool ShiftJis = false;  // split in code page 932, whose second bytes may be 0x5C
    };
    const Case cases[] = {
        {"A:\\SETUP\\TSINST95.EXE A:\\ 1a2b", {"A:\\SETUP\\TSINST95.EXE", "A:\\", "1a2b"}},
        {"\"C:\\Program Files\\tsinst95.exe\" A:\\ 1a2b", {"C:\\Program Files\\tsinst95.exe", "A:\\", "1a2b"}},
        // A quoted source ending in a backslash: the backslash escapes the quote.
        {"p \"A:\\\" 1a2b", {"p", "A:\" 1a2b"}},
        {"p\ta\t\tb  ", {"p", "a", "b"}},
        {"p a\\\\b \"c d\"", {"p", "a\\\\b", "c d"}},
        {"p a\\\\\\\\\"b c\"", {"p", "a\\\\b c"}},
        {"p a\\\\\\\"b", {"p", "a\\\"b"}},
        {"p \"\" \"a\"\"b\"", {"p", "", "a\"b"}},
        {"\"C:\\d x\\p.exe\"rest a", {"C:\\d x\\p.exe", "rest", "a"}},
        {"a b c d e f", {"a", "b", "c", "d", "e", "f"}},
        {"", {""}},
        // "C:\表" (95 5C) quoted: its second byte escapes nothing in code
        // page 932, but is a backslash before the quote in a Western one.
        {"p \"C:\\\x95\x5c\" 1a2b", {"p", "C:\\\x95\x5c", "1a2b"}, true},
        {"p \"C:\\\x95\x5c\" 1a2b", {"p", "C:\\\x95\" 1a2b"}},
        {"p \x95\x5c\\\"x \x95", {"p", "\x95\x5c\"x", "\x95"}, true},
    };
    for (const Case& c : cases) {
        const std::size_t length = std::strlen(c.Line);
        const std::size_t slots = CommandLineArgumentSlots(length);
        std::vector<char*> argv(slots + 1, reinterpret_cast<char*>(&argv));
        std::vector<char> text(length + 2, '#');
        const LeadByteTest western = [](unsigned char) { return false; };
        for (LeadByteTest isLead : c.ShiftJis ? ShiftJisLeadByteTests() : std::vector<LeadByteTest>{western}) {
            int argc = SplitCommandLine(c.Line, argv.data(), text.data(), isLead);
            std::vector<std::string> got(argv.begin(), argv.begin() + argc);
            EXPECT_EQ(c.Expected, got) << c.Line;
            EXPECT_EQ(nullptr, argv[argc]) << c.Line;
            EXPECT_EQ(reinterpret_cast<char*>(&argv), argv[slots]) << c.Line;
            EXPECT_EQ('#', text[length + 1]) << c.Line;
        }
    }
}

TEST(FinishingNotificationTargets, NinetyFiveBuildPostsToBothHandleFormsInOrder)
{
    NotificationTargets targets = FinishingNotificationTargets(0x1A2B, false);
    ASSERT_EQ(2u, targets.Count);
    EXPECT_EQ(0x00001A2Bu, targets.Handles[0]);
    EXPECT_EQ(0xFFFF1A2Bu, targets.Handles[1]);
}

TEST(FinishingNotificationTargets, NtBuildPostsOnlyToTheFormWithTheUpperBitsSet)
{
    NotificationTargets targets = FinishingNotificationTargets(0x1A2B, true);
    ASSERT_EQ(1u, targets.Count);
    EXPECT_EQ(0xFFFF1A2Bu, targets.Handles[0]);
}

// No window at all, HWND_BROADCAST (0xFFFF) and all bits set (a broadcast
// too) are never posted to; the other form of the same argument still is.
TEST(FinishingNotificationTargets, NeverBroadcastsNorPostsToNoWindow)
{
    struct Case {
        std::uint16_t Window;
        bool Nt;
        std::vector<std::uint32_t> Expected;
    };
    const Case cases[] = {
        {0xFFFF, false, {}},
        {0xFFFF, true, {}},
        {0x0000, false, {0xFFFF0000u}},
        {0x0000, true, {0xFFFF0000u}},
        {0xFFFE, false, {0x0000FFFEu, 0xFFFFFFFEu}},
    };
    for (const Case& c : cases) {
        NotificationTargets targets = FinishingNotificationTargets(c.Window, c.Nt);
        std::vector<std::uint32_t> got(targets.Handles, targets.Handles + targets.Count);
        EXPECT_EQ(c.Expected, got) << std::hex << c.Window << (c.Nt ? " NT" : " 95");
    }
    // The launcher's argument "ffff" or "FFFFFFFF" gives that window value.
    std::uint16_t window = 0;
    ASSERT_TRUE(ParseWindowArgument("FFFFFFFF", window));
    EXPECT_EQ(0u, FinishingNotificationTargets(window, false).Count);
}

// A 32-bit handle value becomes a window handle as the platform widens
// handles: sign-extended, so 0xFFFF1A2B is the same handle in both widths.
TEST(HandleFromValue, SignExtendsTheThirtyTwoBitValue)
{
    EXPECT_EQ(static_cast<std::intptr_t>(0x1A2B), reinterpret_cast<std::intptr_t>(HandleFromValue(0x1A2B)));
    EXPECT_EQ(static_cast<std::intptr_t>(static_cast<std::int32_t>(0xFFFF1A2Bu)),
              reinterpret_cast<std::intptr_t>(HandleFromValue(0xFFFF1A2Bu)));
    if (sizeof(HWND) == 8) {
        EXPECT_EQ(0xFFFFFFFFFFFF1A2Bull,
                  static_cast<unsigned long long>(reinterpret_cast<std::uintptr_t>(HandleFromValue(0xFFFF1A2Bu))));
    }
    EXPECT_EQ(static_cast<std::intptr_t>(0x7FFF1A2B), reinterpret_cast<std::intptr_t>(HandleFromValue(0x7FFF1A2B)));
    EXPECT_EQ(nullptr, HandleFromValue(0));
}

// The application object, made at start-up before any drive is touched, has
// a drive without a disk answer with an error instead of the system's box.
TEST(StartUp, DriveFaultsComeBackAsErrors)
{
    ::SetErrorMode(0);
    { InstallApp app; }
    EXPECT_NE(0u, ::SetErrorMode(0) & SEM_FAILCRITICALERRORS);
}
