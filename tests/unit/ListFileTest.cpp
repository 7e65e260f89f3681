#include "engine/plain/ChecksumList.h"
#include "engine/plain/DiskNames.h"
#include "engine/plain/SizeList.h"
#include "engine/plain/Crc32.h"
#include "engine/plain/ListFile.h"
#include "engine/plain/InstallRecord.h"
#include "engine/plain/ReplacementRecord.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {
const char* const BadLine = "<bad>";

// Every line the reader yields for a list held in memory; a refused line reads
// as BadLine.
std::vector<std::string> ReadLines(const std::string& data)
{
    ListLineReader reader(data.data(), data.size());
    std::vector<std::string> lines;
    char line[kListLineSize];
    for (int guard = 0; guard < 1000; ++guard) {
        ListLineReader::Result result = reader.Next(line);
        if (result == ListLineReader::Result::End) return lines;
        lines.push_back(result == ListLineReader::Result::Bad ? BadLine : line);
    }
    ADD_FAILURE() << "the reader never reached the end";
    return lines;
}

using Lines = std::vector<std::string>;

bool ParseEntry(const std::string& text, ListEntry& entry)
{
    char line[kListLineSize] = {};
    std::strncpy(line, text.c_str(), kListLineSize - 1);
    return ParseListEntry(line, entry);
}
}

TEST(ListLineReader, DropsACarriageReturnOnlyBeforeALineFeed)
{
    EXPECT_EQ((Lines{"2\n", "TSW.EXE Tessaryn 3.0\n", "README.TXT\n"}),
              ReadLines("2\r\nTSW.EXE Tessaryn 3.0\r\nREADME.TXT\r\n"));
    // A lone carriage return is an ordinary character of its line.
    EXPECT_EQ((Lines{"A\rB\n", "C\r"}), ReadLines("A\rB\nC\r"));
    EXPECT_EQ((Lines{"A\r\n"}), ReadLines("A\r\r\n"));
    EXPECT_EQ((Lines{"\n", "\n"}), ReadLines("\r\n\n"));
}

TEST(ListLineReader, EndsTheFileAtCtrlZ)
{
    EXPECT_EQ((Lines{"1\n", "A.TXT\n"}), ReadLines("1\nA.TXT\n\x1A" "B.TXT\n"));
    EXPECT_EQ((Lines{"1\n", "A.T"}), ReadLines("1\nA.T\x1AXT\n"));
    EXPECT_EQ(Lines{}, ReadLines("\x1A" "1\nA.TXT\n"));
}

TEST(ListLineReader, ReadsALastLineWithoutItsBreakWhole)
{
    EXPECT_EQ((Lines{"1\n", "TSW.EXE Tessaryn 3.0"}), ReadLines("1\nTSW.EXE Tessaryn 3.0"));
    EXPECT_EQ(Lines{}, ReadLines(""));
    EXPECT_EQ((Lines{"\n"}), ReadLines("\n"));
}

TEST(ListLineReader, TakesLinesOf78CharactersAndRefusesLongerOnesWhole)
{
    const std::string longest(78, 'N');
    const std::string tooLong(79, 'L');
    EXPECT_EQ((Lines{longest + "\n", "X\n"}), ReadLines(longest + "\nX\n"));
    EXPECT_EQ((Lines{longest + "\n"}), ReadLines(longest + "\r\n"));
    EXPECT_EQ((Lines{longest}), ReadLines(longest));
    // The long line is refused as one line: its tail never becomes an entry.
    EXPECT_EQ((Lines{BadLine, "X\n"}), ReadLines(tooLong + "\nX\n"));
    EXPECT_EQ((Lines{BadLine, "X\n"}), ReadLines(tooLong + "\r\nX\n"));
    EXPECT_EQ((Lines{BadLine}), ReadLines(tooLong));
    EXPECT_EQ((Lines{"1\n", BadLine, "X\n"}), ReadLines("1\n" + std::string(200, 'L') + "\nX\n"));
    // A lone carriage return counts as a character of the line.
    EXPECT_EQ((Lines{BadLine}), ReadLines(longest + "\rX\n"));
}

TEST(ListLineReader, RefusesALineHoldingANulByte)
{
    EXPECT_EQ((Lines{"1\n", BadLine, "C.TXT\n"}), ReadLines(std::string("1\nA\0B.TXT\nC.TXT\n", 16)));
    EXPECT_EQ((Lines{BadLine}), ReadLines(std::string("\0", 1)));
}

TEST(ParseListCount, ReadsADecimalNumberAtTheStartAsPercentD)
{
    struct Case { const char* Line; long Count; };
    const Case cases[] = {
        {"3\n", 3}, {"0\n", 0}, {"  7\n", 7}, {"\t12\n", 12}, {"+5\n", 5}, {"-0\n", 0},
        {"42 files\n", 42}, {"8x\n", 8}, {"0009", 9}, {"9999\n", kMaxListCount},
        // Every space of the C locale.
        {"\v\f\r 7\n", 7},
    };
    for (const Case& c : cases) {
        long count = -123;
        EXPECT_TRUE(ParseListCount(c.Line, count)) << c.Line;
        EXPECT_EQ(c.Count, count) << c.Line;
    }
}

TEST(ParseListCount, RefusesNonNumbersNegativesAndAbsurdCounts)
{
    const char* const refused[] = {
        "", "\n", "   \n", "abc\n", "x5\n", "+\n", "-\n", "- 5\n", "+-5\n",
        "-1\n", "-300\n", "10000\n", "99999999999999999999999999\n",
        // No byte from 0x80 up is a space (a no-break space, a next line).
        "\xa0" "7\n", "\x85" "7\n",
    };
    for (const char* line : refused) {
        long count = -123;
        EXPECT_FALSE(ParseListCount(line, count)) << line;
    }
}

TEST(ParseListEntry, TakesAPlainNameAsTheWholeLine)
{
    ListEntry entry;
    ASSERT_TRUE(ParseEntry("README.TXT\n", entry));
    EXPECT_EQ("README.TXT", entry.Name);
    EXPECT_FALSE(entry.Titled);
    // Text after a plain name is part of one long name.
    ASSERT_TRUE(ParseEntry("README.TXT extra words\n", entry));
    EXPECT_EQ("README.TXT extra words", entry.Name);
    EXPECT_FALSE(entry.Titled);
    // Leading spaces go; trailing spaces before the line break stay.
    ASSERT_TRUE(ParseEntry("   LOOKUP.TBL  \n", entry));
    EXPECT_EQ("LOOKUP.TBL  ", entry.Name);
    // A last line without its break.
    ASSERT_TRUE(ParseEntry("  DATA\\RAIN.DAT", entry));
    EXPECT_EQ("DATA\\RAIN.DAT", entry.Name);
    // Only the first dot of the name counts.
    ASSERT_TRUE(ParseEntry("TSW.EXE.BAK old copy\n", entry));
    EXPECT_EQ("TSW.EXE.BAK old copy", entry.Name);
    EXPECT_FALSE(entry.Titled);
}

TEST(ParseListEntry, SplitsATitledProgramEntry)
{
    ListEntry entry;
    ASSERT_TRUE(ParseEntry("TSW.EXE Tessaryn 3.0\n", entry));
    EXPECT_EQ("TSW.EXE", entry.Name);
    EXPECT_TRUE(entry.Titled);
    EXPECT_EQ("Tessaryn 3.0", entry.Title);
    // The title is verbatim, inner and trailing spaces included.
    ASSERT_TRUE(ParseEntry("  TSWCALC.EXE   Link  Budget  \n", entry));
    EXPECT_EQ("TSWCALC.EXE", entry.Name);
    EXPECT_TRUE(entry.Titled);
    EXPECT_EQ("Link  Budget  ", entry.Title);
    ASSERT_TRUE(ParseEntry("tsw.exe Tessaryn\n", entry));
    EXPECT_EQ("tsw.exe", entry.Name);
    EXPECT_TRUE(entry.Titled);
    EXPECT_EQ("Tessaryn", entry.Title);
    ASSERT_TRUE(ParseEntry("TSW.EXE Tessaryn 3.0", entry));
    EXPECT_TRUE(entry.Titled);
    EXPECT_EQ("Tessaryn 3.0", entry.Title);
}

TEST(ParseListEntry, TitlesOnlyAfterSpaces)
{
    ListEntry entry;
    ASSERT_TRUE(ParseEntry("TSW.EXE\n", entry));
    EXPECT_EQ("TSW.EXE", entry.Name);
    EXPECT_FALSE(entry.Titled);
    // Spaces only: a titled entry with an empty title.
    ASSERT_TRUE(ParseEntry("TSW.EXE   \n", entry));
    EXPECT_EQ("TSW.EXE", entry.Name);
    EXPECT_TRUE(entry.Titled);
    EXPECT_EQ("", entry.Title);
    // A tab after the name: untitled, and the rest of the line is ignored.
    ASSERT_TRUE(ParseEntry("TSW.EXE\tTessaryn 3.0\n", entry));
    EXPECT_EQ("TSW.EXE", entry.Name);
    EXPECT_FALSE(entry.Titled);
    EXPECT_EQ("", entry.Title);
}

TEST(ParseListEntry, RefusesBlankLines)
{
    const char* const blank[] = {"\n", "", "    \n", "    ", "\t\n", " \t \n"};
    for (const char* text : blank) {
        ListEntry entry;
        entry.Name = "PREVIOUS.TXT";
        EXPECT_FALSE(ParseEntry(text, entry)) << '"' << text << '"';
        EXPECT_EQ("", entry.Name) << '"' << text << '"';
    }
}

TEST(ParseListEntry, RefusesNamesThatWouldLeaveTheDestination)
{
    const char* const hostile[] = {
        "..\\OUTSIDE.DAT", "SUB\\..\\..\\X.DAT", "..", "SUB\\.", ". \\X.DAT", "...\\X.DAT", "SUB\\\\X.DAT",
        "SUB\\", "C:\\X.DAT", "C:X.DAT", "X.DAT:STREAM", "\\X.DAT", "/X.DAT", "\\\\HOST\\SHARE\\X.DAT",
        "../X.DAT", "X*.DAT", "X?.DAT", "X\"Y.DAT", "X<Y.DAT", "X>Y.DAT", "X|Y.DAT", "X\x01Y.DAT",
        "README.TXT\tnotes", "COM1", "NUL.TXT", "con", "Aux.Dat", "PRN .TXT", "LPT9.X", "SUB\\CON\\X.DAT",
        // Digits Windows reads into a device name (superscript one to three),
        // the console and clock devices, any byte from 0x80 up.
        "LPT\xB9", "COM\xB2", "COM\xB3.DAT", "CONIN$", "conout$.txt", "CLOCK$", "SUB\\CONOUT$", "CAF\xC9.DAT",
        // A titled program entry is checked like any other; its title holds
        // no control character and no double quote.
        "..\\EVIL.EXE Evil", "COM1.EXE Modem", "TSW.EXE Tessaryn\x01", "TSW.EXE Tess\taryn", "TSW.EXE A\rB",
        "TSW.EXE Tessaryn \"3.0\"",
        // The installer's own scratch files.
        "~TSW0000.TMP", "SUB\\~tsw0042.tmp. ",
    };
    for (const char* text : hostile) {
        ListEntry entry;
        EXPECT_FALSE(ParseEntry(text, entry)) << text;
    }
    const char* const allowed[] = {
        "SUB\\X.DAT", "A\\B\\C.DAT", "..X.DAT", "X..DAT", ".PROFILE", "COM10", "COM0", "LPT.TXT", "CONFIG.SYS",
        "NULL.DAT", "AUXILIARY.DAT", "README.TXT extra words", "TSW.EXE Tessaryn (3.0)", "CONIN", "CLOCK.DAT",
        "~TSW0000.TXT", "TSW0000.TMP",
    };
    for (const char* text : allowed) {
        ListEntry entry;
        EXPECT_TRUE(ParseEntry(text, entry)) << text;
    }
}

TEST(ParseListEntry, ResetsTheEntryItFills)
{
    ListEntry entry;
    ASSERT_TRUE(ParseEntry("TSW.EXE Tessaryn 3.0\n", entry));
    ASSERT_TRUE(ParseEntry("README.TXT\n", entry));
    EXPECT_FALSE(entry.Titled);
    EXPECT_EQ("", entry.Title);
}

// Installed from the folder it goes into, a name ending in '_' would be its
// own compressed file, in any case of the folder's name.
TEST(PlanListContents, RefusesAnEntryThatIsItsOwnSource)
{
    const std::string list = "2\r\nA.TXT\r\nx.da_\r\n";
    ListPlan plan;
    EXPECT_EQ(ListFault::DestinationIsSource,
              PlanListContents(list.data(), list.size(), "C:\\TSW30\\", "c:\\tsw30", kListLineMaxLength, plan));
    EXPECT_EQ("x.da_", plan.Refused);
    EXPECT_TRUE(plan.Files.empty());
    EXPECT_EQ(ListFault::None, PlanListContents(list.data(), list.size(), "A:", "C:\\TSW30", kListLineMaxLength, plan));
    // Only A to Z have a case: an accented letter, or a Shift-JIS lead byte
    // (E0 is a Western code page's small a grave), is never folded.
    const char* const unfolded[][2] = {{"C:\\CAF\xc9\\", "c:\\caf\xe9"}, {"C:\\\xc0\x40\\", "C:\\\xe0\x40"}};
    for (const auto& folders : unfolded)
        EXPECT_EQ(ListFault::None,
                  PlanListContents(list.data(), list.size(), folders[0], folders[1], kListLineMaxLength, plan))
            << folders[1];
}

// A planned file keeps only its name; its paths are the folders joined once.
TEST(PlanListContents, JoinsEachNameToBothFolders)
{
    const std::string list = "2\r\nTSW.EXE Tessaryn 3.0\r\nSUB\\README.TXT\r\n";
    ListPlan plan;
    ASSERT_EQ(ListFault::None, PlanListContents(list.data(), list.size(), "A:", "C:\\TSW30\\", kListLineMaxLength, plan));
    ASSERT_EQ(2u, plan.Files.size());
    EXPECT_EQ("A:\\TSW.EX_", plan.SourceOf(plan.Files[0]));
    EXPECT_EQ("C:\\TSW30\\SUB\\README.TXT", plan.DestinationOf(plan.Files[1]));
    const std::string deep(110, 'D');
    EXPECT_EQ(ListFault::DestinationTooLong,
              PlanListContents(list.data(), list.size(), "A:", ("C:\\" + deep).c_str(), kListLineMaxLength, plan));
    EXPECT_EQ("README.TXT", plan.Refused);
}

TEST(CompressedName, ReplacesTheLastCharacterWithAnUnderscore)
{
    EXPECT_EQ("TSW.EX_", CompressedName("TSW.EXE"));
    EXPECT_EQ("A:\\TSW.EX_", CompressedName("A:\\TSW.EXE"));
    EXPECT_EQ("README.TXT extra word_", CompressedName("README.TXT extra words"));
    EXPECT_EQ("_", CompressedName("X"));
    EXPECT_EQ("", CompressedName(""));
}

TEST(LoadListFile, KeepsTheBytesAsTheyAreOnDisk)
{
    char directory[MAX_PATH];
    ASSERT_GT(::GetTempPathA(sizeof directory, directory), 0u);
    const std::string path = std::string(directory) + "tsinst_list_test.lst";
    const char raw[] = "2\r\nTSW.EXE Tessaryn\r\nA\x1A\0B\n";
    const std::string bytes(raw, sizeof raw - 1);
    std::FILE* file = std::fopen(path.c_str(), "wb");
    ASSERT_NE(nullptr, file);
    std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);

    std::vector<char> contents;
    EXPECT_EQ(ListLoadResult::Loaded, LoadListFile(path.c_str(), contents));
    EXPECT_EQ(bytes, std::string(contents.begin(), contents.end()));
    // One byte over the limit is no list file; a folder is none at all.
    file = std::fopen(path.c_str(), "wb");
    ASSERT_NE(nullptr, file);
    const std::vector<char> over(kMaxListFileBytes + 1, '\n');
    std::fwrite(over.data(), 1, over.size(), file);
    std::fclose(file);
    EXPECT_EQ(ListLoadResult::Unreadable, LoadListFile(path.c_str(), contents));
    std::remove(path.c_str());
    EXPECT_EQ(ListLoadResult::NotFound, LoadListFile(path.c_str(), contents));
    EXPECT_EQ(ListLoadResult::NotFound, LoadListFile(directory, contents));
}

TEST(LoadListFile, AnEmptyFileHasNoFirstLine)
{
    // An empty list loads as no buffer at all; the reader must take that as
    // the end of the file (found by fuzzing: the Ctrl-Z search was handed a
    // null pointer).
    char directory[MAX_PATH];
    ASSERT_GT(::GetTempPathA(sizeof directory, directory), 0u);
    const std::string path = std::string(directory) + "tsinst_empty_test.lst";
    std::FILE* file = std::fopen(path.c_str(), "wb");
    ASSERT_NE(nullptr, file);
    std::fclose(file);

    std::vector<char> contents(3, 'x');
    EXPECT_EQ(ListLoadResult::Loaded, LoadListFile(path.c_str(), contents));
    std::remove(path.c_str());
    EXPECT_TRUE(contents.empty());
    ListLineReader reader(contents.data(), contents.size());
    char line[kListLineSize] = "stale";
    EXPECT_EQ(ListLineReader::Result::End, reader.Next(line));
    EXPECT_STREQ("", line);
    EXPECT_EQ(ListLineReader::Result::End, ListLineReader(nullptr, 0).Next(line));
}

// An update's record is read like a list: only what the installer writes
// there is acted on. The mark counts only as the last line after lines that
// all read right; any other record, cut or damaged while it was written (a
// cut append may hold an earlier record's mark), stops at its last line that
// reads right, and its renames never began.
TEST(ReadReplacementRecord, ActsOnlyOnWhatTheInstallerWrites)
{
    const std::string header = "TSW30 RENAMES\r\n";
    const std::string line = "SUB\\~TSW0000.TMP SUB\\~TSW0001.TMP SUB\\A.TXT\r\n";
    const std::string mark = "RENAME\r\n";
    const struct {
        std::string Text;
        RecordState State;
        std::size_t Files;
    } cases[] = {
        {header + line, RecordState::Expanding, 1},
        {header + line + mark, RecordState::Renaming, 1},
        {header + line + "~TSW0002.TMP ~TSW0003", RecordState::Expanding, 1},
        {header + line + "RENAME", RecordState::Expanding, 1},
        {header, RecordState::Expanding, 0},
        {"", RecordState::Expanding, 0},
        {"TSW30 REN", RecordState::Expanding, 0},
        {header + line + std::string(40, '\0'), RecordState::Expanding, 1},
        {header + line + "\x01\xFF#\r\n" + line, RecordState::Expanding, 1},
        {header + line + "\x01\xFF#\r\n" + mark, RecordState::Expanding, 1},
        {line + mark, RecordState::Expanding, 0},
        {header + line + mark + line, RecordState::Expanding, 1},
        {header + line + mark + "~TSW", RecordState::Expanding, 1},
        {header + "..\\~TSW0000.TMP ..\\~TSW0001.TMP ..\\A.TXT\r\n" + mark, RecordState::Expanding, 0},
        {header + "~TSW0000.TMP ~TSW0001.TMP COM1\r\n" + mark, RecordState::Expanding, 0},
        {header + "~TSW0000.TMP ~TSW0001.TMP SUB\\A.TXT\r\n" + mark, RecordState::Expanding, 0},
        {header + "SUB\\~TSWMOVE.TMP SUB\\~TSW0001.TMP SUB\\A.TXT\r\n" + mark, RecordState::Expanding, 0},
        {header + "SUB\\~TSW0001.TMP SUB\\~tsw0001.tmp SUB\\A.TXT\r\n" + mark, RecordState::Expanding, 0},
        {header + "SUB\\~TSW0000.TMP  SUB\\~TSW0001.TMP SUB\\A.TXT\r\n" + mark, RecordState::Expanding, 0},
        {header + std::string("~TSW0000.TMP ~TSW0001.TMP A.TXT\0\r\n", 34) + mark, RecordState::Expanding, 0},
        {header + "~TSW0000.TMP ~TSW0001.TMP " + std::string(257, 'A') + "\r\n" + mark, RecordState::Expanding, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Text);
        std::vector<Replacement> files = {{"x", "y", "z"}};
        EXPECT_EQ(c.State, ReadReplacementRecord(c.Text.data(), c.Text.size(), files));
        ASSERT_EQ(c.Files, files.size());
    }
    std::vector<Replacement> files;
    ASSERT_EQ(RecordState::Expanding, ReadReplacementRecord((header + line).data(), header.size() + line.size(), files));
    EXPECT_EQ(line, RecordLine(files[0]));
}

// The installation's record: every line that reads right is taken, whatever
// else it holds; it reads whole only with its title first and nothing but its
// own lines, notes and blank lines. A line of the writer's reads back as it
// was written.
TEST(ReadInstallRecord, TakesTheLinesThatReadRightAndSaysWhetherAllDid)
{
    const std::string title = InstallRecordTitle();
    const std::string file = RecordedFileLine({"LOOKUP\\ITU.LU", 0x9F00E417, 912});
    const std::string body = RecordedFolderLine("") + RecordedFolderLine("USER_DLL") + file +
                             RecordedGroupLine(false) + RecordedRegistrationLine();
    const struct {
        std::string Text;
        bool Whole;
        std::size_t Folders, Files;
    } cases[] = {
        {title + body, true, 2, 1},
        {title + RecordedNote("message 4: A\r\nB (OK)") + "\r\n" + body + file, true, 2, 2},
        {title + body.substr(0, body.size() - 1), false, 2, 1},
        {body, false, 2, 1},
        {"", false, 0, 0},
        {title + "FILE 9F00E417 912 ..\\TSW.EXE\r\n" + file, false, 0, 1},
        {title + "FILE 9F00E417 912 C:\\TSW.EXE\r\nFOLDER ..\r\nFOLDER \\WINDOWS\r\n", false, 0, 0},
        {title + "FILE 9f00e417 912 TSW.EXE\r\nFILE 9F00E417 -1 TSW.EXE\r\nFILE 9F00E417 2147483648 TSW.EXE\r\n",
         false, 0, 0},
        {title + "GROUP COMMON Other\r\nREGISTRY Other\r\nGROUP PERSONAL Tessaryn 3.0 \r\n", false, 0, 0},
        {title + std::string("FOLDER A\0B\r\n", 12) + "FOLDER " + std::string(kInstallRecordLineMax, 'A') + "\r\n",
         false, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Text);
        InstallRecordContents contents;
        EXPECT_EQ(c.Whole, ReadInstallRecord(c.Text.data(), c.Text.size(), contents));
        EXPECT_EQ(c.Folders, contents.Folders.size());
        EXPECT_EQ(c.Files, contents.Files.size());
    }
    InstallRecordContents contents;
    ASSERT_TRUE(ReadInstallRecord((title + body).data(), title.size() + body.size(), contents));
    EXPECT_EQ(file, RecordedFileLine(contents.Files[0]));
    EXPECT_EQ((std::vector<std::string>{".", "USER_DLL"}), contents.Folders);
    EXPECT_TRUE(contents.PersonalGroup && !contents.CommonGroup && contents.Registered);
}

// A record written afresh keeps every line that reads right, in order, and
// of the notes those of the latest runs that fit, from a run's first note on.
TEST(KeptRecordText, KeepsEveryLineThatNamesSomethingAndTheLatestRunsNotes)
{
    const std::string title = InstallRecordTitle();
    auto run = [](const char* name) {
        return RecordedNote(std::string("Tessaryn 3.0 installation ") + name) + RecordedNote("file A:\\TSW.EX_") +
               RecordedNote("end: complete");
    };
    const std::string folder = RecordedFolderLine("");
    const std::string file = RecordedFileLine({"TSW.EXE", 0x9F00E417, 912});
    const std::string all = title + run("1") + folder + file + run("2") + RecordedGroupLine(false) + run("3");
    const struct {
        std::string Text;
        std::size_t NotesKept;
        std::string Kept;
    } cases[] = {
        {all, 1 << 20, all},
        // Run 3's notes fit, run 2's do not: run 2's last note is not kept either.
        {all, run("3").size() + 20, title + folder + file + RecordedGroupLine(false) + run("3")},
        {all, run("2").size() + run("3").size(), title + folder + file + run("2") + RecordedGroupLine(false) + run("3")},
        // The latest run alone too long: its last notes.
        {all, RecordedNote("end: complete").size(), title + folder + file + RecordedGroupLine(false) +
                                                        RecordedNote("end: complete")},
        // What does not read right goes, the rest stays; so does a cut last line.
        {title + run("1") + "FILE x\r\n" + file + "FOLD", 1 << 20, title + run("1") + file},
        {run("1") + file, 1 << 20, title + run("1") + file},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Text + " within " + std::to_string(c.NotesKept));
        EXPECT_EQ(c.Kept, KeptRecordText(c.Text.data(), c.Text.size(), c.NotesKept));
    }
}

// CHECKSUM.LST: only "CRC32 SIZE NAME" as the builder writes it, each file of
// the plan named once, whatever else the disk holds.
TEST(ChecksumList, TakesOnlyTheBuilderFormAndNamesEachPlannedFileOnce)
{
    const std::string list = "2\r\nA.TXT\r\nSUB\\B.DAT\r\n";
    const std::string a = "0123abCD 17 lookup\\a.tx_\r\n", b = "FFFFFFFF 2147483647 LOOKUP\\SUB\\B.DA_\r\n";
    const std::string accepted[] = {a + b, "00000000 0 TSW.EX_\r\n" + b + a, a + b + "00000000 1 CRANE\\X.DA_"};
    // Each after a list that names both files: a file named twice, a NUL, bad digits, a field missing,
    // another separator, a name outside the disk.
    const std::string refused[] = {
        a, std::string("0123ABCD 17 X.DA_\0\r\n", 20), "0123ABC 17 X.DA_", "0123ABCDE 17 X.DA_", "0123ABCG 17 X.DA_",
        "0123ABCD 2147483648 X.DA_", "0123ABCD 17", "0123ABCD X.DA_", "0123ABCD  17 X.DA_", "0123ABCD\t17 X.DA_",
        "0123ABCD 17 ..\\X.DA_", "0123ABCD 17 C:\\X.DA_",
    };
    ListPlan plan;
    for (const std::string& line : refused) {
        const std::string text = a + b + line;
        PlanListContents(list.data(), list.size(), "A:\\LOOKUP", "C:\\T", 78, plan);
        EXPECT_FALSE(ApplyChecksumList(text.data(), text.size(), "LOOKUP\\", plan)) << line;
    }
    PlanListContents(list.data(), list.size(), "A:\\LOOKUP", "C:\\T", 78, plan);
    EXPECT_FALSE(ApplyChecksumList(a.data(), a.size(), "LOOKUP\\", plan)) << "SUB\\B.DAT named by no line";
    for (const std::string& text : accepted) {
        ASSERT_EQ(ListFault::None, PlanListContents(list.data(), list.size(), "A:\\LOOKUP", "C:\\T", 78, plan));
        ASSERT_TRUE(ApplyChecksumList(text.data(), text.size(), "LOOKUP\\", plan)) << text;
        EXPECT_TRUE(plan.Files[0].Expected.Known && plan.Files[0].Expected.Crc == 0x0123ABCD);
        EXPECT_TRUE(plan.Files[1].Expected.Size == kMaxExpandedSize && plan.Files[1].Expected.Crc == 0xFFFFFFFF);
    }
    EXPECT_EQ(0xCBF43926u, Crc32(Crc32(0, "1234", 4), "56789", 5));

    // SIZES.LST: "SIZE LIST NAME", a list the installer knows, each file of a list once.
    const std::string sizes = "17 disk_2e.lst A.TXT\r\n2147483647 DISK_2E.LST SUB\\B.DAT\r\n3 disk_1.lst a.txt\r\n";
    const std::string refusedSizes[] = {
        "17 disk_2e.lst a.txt", "17 disk_9.lst X.DAT", "2147483648 disk_1.lst X", "17  disk_1.lst X",
        "17 disk_1.lst", "disk_1.lst X", " disk_1.lst X", "17 disk_1.lst ..\\X", "17\tdisk_1.lst X", std::string("1 disk_1.lst X\0", 15),
    };
    SetSizes read;
    for (const std::string& line : refusedSizes)
        EXPECT_FALSE(ReadSizeList((sizes + line).data(), sizes.size() + line.size(), read)) << line;
    ASSERT_TRUE(ReadSizeList(sizes.data(), sizes.size(), read));
    EXPECT_TRUE(read.Known);
    EXPECT_EQ(2147483664u, read.ListTotal(ListLookup));
    EXPECT_EQ(3u, read.ListTotal(ListDisk1));
    EXPECT_EQ(0u, read.ListTotal(ListDisk2));
    // Every file of a list named, or the list is refused: one left out would count as nothing.
    PlanListContents(list.data(), list.size(), "A:\\LOOKUP", "C:\\T", 78, plan);
    EXPECT_EQ(ListFault::None, CheckSetSizes(read, "DISK_2E.LST", plan));
    EXPECT_EQ(ListFault::None, CheckSetSizes(SetSizes(), "disk_1.lst", plan));
    EXPECT_EQ(ListFault::BadSizeList, CheckSetSizes(read, "disk_1.lst", plan));
    EXPECT_EQ("SIZES.LST", plan.Refused);
}
