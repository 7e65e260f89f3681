#include "progman/plain/ProgmanCommand.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {
const char* const Windows = "C:\\WINDOWS";

std::string Revisions(const std::string& target)
{
    return "[AddItem(C:\\WINDOWS\\notepad.exe " + target + "\\tsw.txt, Revisions)]";
}

// Whether every bracket and parenthesis outside double quotes is closed in
// order, and every quote is closed.
bool Balanced(const std::string& commands)
{
    std::string open;
    bool quoted = false;
    for (char c : commands) {
        if (c == '"') {
            quoted = !quoted;
        } else if (quoted) {
            continue;
        } else if (c == '[' || c == '(') {
            open += c;
        } else if (c == ']' || c == ')') {
            if (open.empty() || open.back() != (c == ']' ? '[' : '(')) return false;
            open.pop_back();
        }
    }
    return !quoted && open.empty();
}

std::size_t Count(const std::string& text, const std::string& part)
{
    std::size_t count = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
    return count;
}
}

TEST(BuildGroupCommands, ComposesTheGroupProgramAndRevisionsItems)
{
    const ProgramItem items[] = {{"TSW.EXE", "Tessaryn 3.0"}};
    EXPECT_EQ("[CreateGroup(Tessaryn 3.0)][AddItem(C:\\TSW30\\TSW.EXE, Tessaryn 3.0)]"
              "[AddItem(C:\\WINDOWS\\notepad.exe C:\\TSW30\\tsw.txt, Revisions)]",
              BuildGroupCommands("C:\\TSW30", items, 1, Windows));
    // A target with its trailing backslash joins the same way.
    EXPECT_EQ(BuildGroupCommands("C:\\TSW30", items, 1, Windows), BuildGroupCommands("C:\\TSW30\\", items, 1, Windows));
    EXPECT_EQ("[CreateGroup(Tessaryn 3.0)]" + Revisions("C:\\TSW30"), BuildGroupCommands("C:\\TSW30", items, 0, Windows));
}

TEST(BuildGroupCommands, TakesAtMostSixSlotsAndStopsAtTheFirstEmptyOne)
{
    const ProgramItem seven[] = {{"P1.EXE", "One"},  {"P2.EXE", "Two"}, {"P3.EXE", "Three"}, {"P4.EXE", "Four"},
                                 {"P5.EXE", "Five"}, {"P6.EXE", "Six"}, {"P7.EXE", "Seven"}};
    std::string expected = "[CreateGroup(Tessaryn 3.0)]";
    for (int i = 0; i < 6; ++i)
        expected += std::string("[AddItem(C:\\TSW30\\") + seven[i].File + ", " + seven[i].Title + ")]";
    expected += Revisions("C:\\TSW30");
    EXPECT_EQ(expected, BuildGroupCommands("C:\\TSW30", seven, 7, Windows));

    const ProgramItem gap[] = {{"A.EXE", "A"}, {nullptr, nullptr}, {"C.EXE", "C"}};
    EXPECT_EQ("[CreateGroup(Tessaryn 3.0)][AddItem(C:\\TSW30\\A.EXE, A)]" + Revisions("C:\\TSW30"),
              BuildGroupCommands("C:\\TSW30", gap, 3, Windows));
}

TEST(BuildGroupCommands, JoinsARootTargetInsideThatRoot)
{
    const ProgramItem items[] = {{"TSW.EXE", "Tessaryn 3.0"}};
    EXPECT_EQ("[CreateGroup(Tessaryn 3.0)][AddItem(C:\\TSW.EXE, Tessaryn 3.0)]"
              "[AddItem(C:\\WINDOWS\\notepad.exe C:\\tsw.txt, Revisions)]",
              BuildGroupCommands("C:\\", items, 1, Windows));
}

// Program Manager splits a command line at its first space: a path holding
// one stands in its short form, where the platform has one.
TEST(BuildGroupCommands, GivesAPathWithASpaceInItsShortForm)
{
    const ProgramItem items[] = {{"TSW.EXE", "Tessaryn 3.0"}};
    auto shortForm = [](const std::string& path) -> std::string {
        if (path == "C:\\MY APPS\\TSW.EXE") return "C:\\MYAPPS~1\\TSW.EXE";
        if (path == "C:\\MY APPS\\tsw.txt") return "C:\\MYAPPS~1\\TSW.TXT";
        return "";
    };
    EXPECT_EQ("[CreateGroup(Tessaryn 3.0)][AddItem(C:\\MYAPPS~1\\TSW.EXE, Tessaryn 3.0)]"
              "[AddItem(C:\\WINDOWS\\notepad.exe C:\\MYAPPS~1\\TSW.TXT, Revisions)]",
              BuildGroupCommands("C:\\MY APPS", items, 1, Windows, shortForm));
    // Without a short form the long one stays; without a space it is never asked for.
    EXPECT_EQ("[CreateGroup(Tessaryn 3.0)][AddItem(C:\\MY APPS\\TSW.EXE, Tessaryn 3.0)]" + Revisions("C:\\MY APPS"),
              BuildGroupCommands("C:\\MY APPS", items, 1, Windows, [](const std::string&) { return std::string(); }));
    EXPECT_EQ("[CreateGroup(Tessaryn 3.0)][AddItem(C:\\TSW30\\TSW.EXE, Tessaryn 3.0)]" + Revisions("C:\\TSW30"),
              BuildGroupCommands("C:\\TSW30", items, 1, Windows, [](const std::string&) { return std::string("X"); }));
}

TEST(BuildGroupCommands, QuotesArgumentsHoldingCommandCharacters)
{
    const ProgramItem items[] = {{"TSW.EXE", "Tessaryn 3.0 (32-bit)"}, {"CALC.EXE", "Link Budget"}};
    EXPECT_EQ("[CreateGroup(Tessaryn 3.0)][AddItem(C:\\TSW30\\TSW.EXE, \"Tessaryn 3.0 (32-bit)\")]"
              "[AddItem(C:\\TSW30\\CALC.EXE, Link Budget)]" + Revisions("C:\\TSW30"),
              BuildGroupCommands("C:\\TSW30", items, 2, Windows));

    for (const char* target : {"C:\\A,B", "C:\\A(B", "C:\\A)B", "C:\\A[B", "C:\\A]B"}) {
        const std::string t = target;
        EXPECT_EQ("[CreateGroup(Tessaryn 3.0)][AddItem(\"" + t + "\\CALC.EXE\", Link Budget)]"
                  "[AddItem(\"C:\\WINDOWS\\notepad.exe " + t + "\\tsw.txt\", Revisions)]",
                  BuildGroupCommands(target, items + 1, 1, Windows)) << target;
    }
    const ProgramItem bracketed[] = {{"A]B.EXE", "x)][ExitProgman(1)]["}};
    const std::string commands = BuildGroupCommands("C:\\TSW30", bracketed, 1, Windows);
    EXPECT_EQ("[CreateGroup(Tessaryn 3.0)][AddItem(\"C:\\TSW30\\A]B.EXE\", \"x)][ExitProgman(1)][\")]" +
              Revisions("C:\\TSW30"), commands);
    EXPECT_TRUE(Balanced(commands));
}

TEST(ProgmanArgument, LeavesEverythingElseAlone)
{
    for (const char* text : {"Tessaryn 3.0", "C:\\TSW30\\TSW.EXE", "a;b{c}<d>", " spaced ", "tab\there", ""})
        EXPECT_EQ(text, ProgmanArgument(text)) << text;
    for (const char* text : {",", "(", ")", "[", "]"})
        EXPECT_EQ(std::string("\"") + text + "\"", ProgmanArgument(text)) << text;
}

TEST(BuildGroupCommands, LeavesOutAnItemThatHoldsADoubleQuote)
{
    const ProgramItem items[] = {{"A.EXE", "Say \"hi\""}, {"B\"X.EXE", "B"}, {"C.EXE", "C (x"}, {"D.EXE", "D"}};
    std::string commands = BuildGroupCommands("C:\\TSW30", items, 4, Windows);
    EXPECT_EQ("[CreateGroup(Tessaryn 3.0)][AddItem(C:\\TSW30\\C.EXE, \"C (x\")][AddItem(C:\\TSW30\\D.EXE, D)]" +
              Revisions("C:\\TSW30"), commands);
    EXPECT_TRUE(Balanced(commands));

    // A quote in the target leaves out every item that carries it.
    commands = BuildGroupCommands("C:\\T\"SW", items + 3, 1, Windows);
    EXPECT_EQ("[CreateGroup(Tessaryn 3.0)]", commands);
    // A quote in the Windows directory leaves out only the Revisions item.
    commands = BuildGroupCommands("C:\\TSW30", items + 3, 1, "C:\\WIN\"DOWS");
    EXPECT_EQ("[CreateGroup(Tessaryn 3.0)][AddItem(C:\\TSW30\\D.EXE, D)]", commands);
}

TEST(BuildGroupCommands, StaysBalancedForHostileTextEverywhere)
{
    const char* const texts[] = {"", "(", ")", "[", "]", ",", "\"", "a\"b\"", ")]", "[(", "x, y", "\\"};
    for (const char* target : texts) {
        for (const char* title : texts) {
            for (const char* windows : {"C:\\WINDOWS", "C:\\W(IN", "C:\\W\"IN"}) {
                const ProgramItem items[] = {{"TSW.EXE", title}, {title, "T"}};
                const std::string commands = BuildGroupCommands(target, items, 2, windows);
                EXPECT_TRUE(Balanced(commands)) << commands;
                EXPECT_EQ(0u, commands.rfind("[CreateGroup(Tessaryn 3.0)]", 0)) << commands;
                // One item command per item that could be expressed, never more.
                EXPECT_LE(Count(commands, "[AddItem("), 3u) << commands;
            }
        }
    }
}
