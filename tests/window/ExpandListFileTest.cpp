// ExpandListFile on a real main window: list files written by the tests, the
// compressed files in the platform's format, every box answered and recorded.
#include "tests/window/InstallerFixture.h"

#include "engine/plain/LzErrors.h"
#include "framework/UniqueHandle.h"

#include <map>

namespace {
const char* const ProgramCaption = "Installing Tessaryn Program";

// What the progress window showed while a box was up (filled by a box action
// on the watcher thread; read after the operation has returned).
struct ProgressAtBox {
    bool Checked = false;
    bool Present = false;
    std::string Caption;
    std::string Text;

    std::function<void(HWND)> Recorder()
    {
        return [this](HWND) {
            Checked = true;
            HWND window = FindProgressWindow();
            Present = window != nullptr;
            if (!window) return;
            char caption[128] = {};
            ::GetWindowTextA(window, caption, sizeof caption);
            Caption = caption;
            if (TShowProg* progress = ProgressObject(window)) Text = progress->GetText();
        };
    }
};

class ExpandListFileTest : public InstallerTest {
protected:
    void SetUp() override
    {
        InstallerTest::SetUp();
        if (HasFatalFailure()) return;
        Source = Folder("source");
        Dest = Folder("dest");
    }

    // A compressed file in the source folder, remembered for ExpectInstalled.
    void Provide(const std::string& installed, const std::string& data)
    {
        ASSERT_TRUE(WriteCompressed(Source, installed, data));
        Originals[installed] = data;
    }
    void Provide(const std::string& installed) { Provide(installed, "contents of " + installed + "\r\n"); }

    void WriteList(const std::string& text, const std::string& list = "disk_1.lst")
    {
        ASSERT_TRUE(WriteFileBytes(Join(Source, list), text));
    }

    bool Expand(const std::string& list = "disk_1.lst", const char* caption = ProgramCaption)
    {
        LastResult = 12345;  // the operation starts it at 0
        return Window->ExpandListFile(list.c_str(), Dest.c_str(), Source.c_str(), caption, LastResult);
    }

    void ExpectInstalled(const std::string& installed)
    {
        bool found = false;
        std::string bytes = ReadBytes(Join(Dest, installed), &found);
        EXPECT_TRUE(found) << installed << " was not installed";
        EXPECT_TRUE(bytes == Originals[installed]) << installed << " differs from its original";
    }

    std::vector<std::string> Installed() const { return Names(Dest); }

    void ExpectSlots(const std::vector<std::pair<std::string, std::string>>& items)
    {
        for (int i = 0; i < kProgramSlots; ++i) {
            SCOPED_TRACE("slot " + std::to_string(i));
            if (i < static_cast<int>(items.size())) {
                EXPECT_EQ(items[i].first, Window->ProgramFile[i]);
                EXPECT_EQ(items[i].second, Window->ItemTitle[i]);
            } else {
                EXPECT_EQ("", Window->ProgramFile[i]);
                EXPECT_EQ("", Window->ItemTitle[i]);
            }
        }
    }

    std::string Source;
    std::string Dest;
    std::map<std::string, std::string> Originals;
    LONG LastResult = 0;
};

}

// ---------------------------------------------------------------------------
// The count line and the entry lines

TEST_F(ExpandListFileTest, CountOfZeroShowsTheReadingTextAndExpandsNothing)
{
    Provide("A.TXT");
    WriteList(ListText({"0", "A.TXT"}));
    EXPECT_TRUE(Expand());
    EXPECT_EQ(0, LastResult);
    EXPECT_TRUE(Installed().empty());
    EXPECT_EQ(Lines({"Installing Tessaryn Program|Reading disk_1.lst . . ."}), Progress.Lines());
    EXPECT_EQ(nullptr, FindProgressWindow()) << "the progress window outlived the call";
    EXPECT_TRUE(Transcript().empty());
}

TEST_F(ExpandListFileTest, CountLargerThanTheLinesIsReadErrorAndWritesNothing)
{
    Provide("A.TXT");
    Provide("B.TXT");
    WriteList(ListText({"4", "TSW.EXE Tessaryn 3.0", "A.TXT", "B.TXT"}));
    Provide("TSW.EXE");
    ProgressAtBox atBox;
    Boxes.Expect("Installation Error", IDOK, atBox.Recorder());
    EXPECT_FALSE(Expand());
    EXPECT_EQ(Lines({"Installation Error|File Read Error disk_1.lst"}), Transcript());
    EXPECT_TRUE(atBox.Checked);
    EXPECT_FALSE(atBox.Present) << "the progress window was still up under the list-reading message";
    EXPECT_EQ(0, LastResult);
    EXPECT_TRUE(Installed().empty());
    // The program item read before the failure is not kept either.
    ExpectSlots({});
}

TEST_F(ExpandListFileTest, LinesAfterTheCountedEntriesAreIgnored)
{
    Provide("A.TXT");
    Provide("B.TXT");
    WriteList(ListText({"1", "A.TXT", "B.TXT", "not an entry at all"}));
    EXPECT_TRUE(Expand());
    EXPECT_EQ(Lines({"A.TXT"}), Installed());
    ExpectInstalled("A.TXT");
}

TEST_F(ExpandListFileTest, LastLineWithoutLineBreakIsReadWhole)
{
    Provide("A.TXT");
    Provide("LASTNAME.DAT", SampleBytes(3000, 7));
    WriteList("2\r\nA.TXT\r\nLASTNAME.DAT");
    EXPECT_TRUE(Expand());
    EXPECT_EQ(Lines({"A.TXT", "LASTNAME.DAT"}), Installed());
    ExpectInstalled("A.TXT");
    ExpectInstalled("LASTNAME.DAT");
    EXPECT_GE(LastResult, 0) << "the last expansion's result";
}

TEST_F(ExpandListFileTest, CountLineReadAsDecimalNumberAtItsStart)
{
    Provide("A.TXT");
    Provide("B.TXT");
    WriteList(ListText({"  +1 entry follows", "A.TXT", "B.TXT"}));
    EXPECT_TRUE(Expand());
    EXPECT_EQ(Lines({"A.TXT"}), Installed());
}

TEST_F(ExpandListFileTest, CountLinesOutsideTheFormatAreReadErrors)
{
    Provide("A.TXT");
    for (std::string count : {"", "abc", "-1", "100000", "99999999999999999999", "   "}) {
        SCOPED_TRACE("count line \"" + count + "\"");
        WriteList(count.empty() ? std::string() : ListText({count, "A.TXT"}));
        Boxes.Clear();
        ProgressAtBox atBox;
        Boxes.Expect("Installation Error", IDOK, atBox.Recorder());
        EXPECT_FALSE(Expand());
        EXPECT_EQ(Lines({"Installation Error|File Read Error disk_1.lst"}), Transcript());
        EXPECT_FALSE(atBox.Present);
        EXPECT_EQ(0, LastResult);
        EXPECT_TRUE(Installed().empty());
    }
}

// A blank entry, or a name that would land outside the destination or open a
// device, is a read error of the list before anything of it is written, and
// the program item of a line before it is not kept. The line after it is not
// counted: a blank line is no entry even where the lines would last.
TEST_F(ExpandListFileTest, BlankOrEscapingEntryLineIsReadErrorBeforeAnythingIsWritten)
{
    Provide("TSW.EXE");
    Provide("A.TXT");
    Provide("B.TXT");
    // The escaping name's compressed file is there, one folder up from the source.
    ASSERT_TRUE(WriteCompressed(Scratch, "OUTSIDE.DAT", "outside"));
    for (std::string entry : {"", "    ", "..\\OUTSIDE.DAT", "C:\\X.DAT", "\\X.DAT", "COM1", "NUL.TXT",
                              "COM\xB3.DAT", "CONOUT$", "LPT\xB9", "..\\EVIL.EXE Evil"}) {
        SCOPED_TRACE("entry line \"" + entry + "\"");
        WriteList(ListText({"3", "TSW.EXE Tessaryn 3.0", "A.TXT", entry, "B.TXT"}));
        Boxes.Clear();
        Boxes.Expect("Installation Error", IDOK);
        EXPECT_FALSE(Expand());
        EXPECT_EQ(Lines({"Installation Error|File Read Error disk_1.lst"}), Transcript());
        EXPECT_TRUE(Installed().empty());
        EXPECT_FALSE(FileExists(Join(Scratch, "OUTSIDE.DAT")));
        EXPECT_FALSE(FileExists(Join(Scratch, "EVIL.EXE")));
        ExpectSlots({});
    }
    // A name in a subfolder of the destination is installed there.
    ASSERT_TRUE(MakeDirectories(Join(Dest, "SUB")));
    ASSERT_TRUE(MakeDirectories(Join(Source, "SUB")));
    Provide("SUB\\X.DAT");
    WriteList(ListText({"2", "A.TXT", "SUB\\X.DAT"}));
    Boxes.Clear();
    EXPECT_TRUE(Expand());
    EXPECT_TRUE(Transcript().empty());
    ExpectInstalled("SUB\\X.DAT");
}

TEST_F(ExpandListFileTest, LinesUpTo78CharactersLongerOnesReadErrors)
{
    const std::string name78 = std::string(74, 'L') + ".TXT";
    const std::string name79 = std::string(75, 'M') + ".TXT";
    ASSERT_EQ(78u, name78.size());
    // Short folders: the platform's LZOpenFileA takes paths of at most 127
    // characters, and this test's scratch folder is long.
    Source = "A:\\S";
    Dest = "A:\\D";
    ASSERT_TRUE(MakeDirectories(Source));
    ASSERT_TRUE(MakeDirectories(Dest));
    Provide(name78);
    Provide(name79);
    Provide("A.TXT");

    WriteList(ListText({"1", name78}));
    EXPECT_TRUE(Expand()) << LastResult;
    EXPECT_TRUE(Transcript().empty());
    ExpectInstalled(name78);
    RemoveTree(Dest);
    MakeDirectories(Dest);

    // One character too many, and a line long enough to hold two names: a
    // short read buffer must not turn either into two entries.
    for (const std::string& line : {name79, std::string(70, 'X') + " " + "A.TXT" + std::string(10, ' ')}) {
        SCOPED_TRACE(line);
        WriteList(ListText({"2", line, "A.TXT"}));
        Boxes.Clear();
        Boxes.Expect("Installation Error", IDOK);
        EXPECT_FALSE(Expand());
        EXPECT_EQ(Lines({"Installation Error|File Read Error disk_1.lst"}), Transcript());
        EXPECT_TRUE(Installed().empty());
    }
}

TEST_F(ExpandListFileTest, MissingListIsFileNotFoundWithTheListName)
{
    ProgressAtBox atBox;
    Boxes.Expect("Installation Error", IDOK, atBox.Recorder());
    EXPECT_FALSE(Expand("disk_2e.lst", "Installing Lookup Files"));
    EXPECT_EQ(Lines({"Installation Error|File Not Found disk_2e.lst"}), Transcript());
    EXPECT_TRUE(atBox.Checked);
    EXPECT_FALSE(atBox.Present) << "the progress window was still up under the list-reading message";
    EXPECT_EQ(Lines({"Installing Lookup Files|Reading disk_2e.lst . . ."}), Progress.Lines());
    EXPECT_EQ(0, LastResult);
    EXPECT_TRUE(Installed().empty());
}

// ---------------------------------------------------------------------------
// Program items

TEST_F(ExpandListFileTest, TitledExeEntriesAreCapturedWhateverTheCase)
{
    Provide("tsw.exe", SampleBytes(5000, 1));
    Provide("RAIN.EXE");
    Provide("HELP.Exe");
    Provide("NOTITLE.EXE");
    Provide("TSW.HLP");
    WriteList(ListText({"5", "tsw.exe  Tessaryn 3.0", "TSW.HLP", "  RAIN.EXE   Rain  Calc  ", "HELP.Exe   ",
                        "NOTITLE.EXE"}));
    EXPECT_TRUE(Expand());
    ExpectSlots({{"tsw.exe", "Tessaryn 3.0"}, {"RAIN.EXE", "Rain  Calc  "}, {"HELP.Exe", ""}});
    for (const char* name : {"tsw.exe", "RAIN.EXE", "HELP.Exe", "NOTITLE.EXE", "TSW.HLP"}) ExpectInstalled(name);
}

TEST_F(ExpandListFileTest, TabAfterTheNameCapturesNothingButTheFileIsExpanded)
{
    Provide("TSW.EXE", SampleBytes(2000, 2));
    WriteList(ListText({"1", "TSW.EXE\tTessaryn 3.0"}));
    EXPECT_TRUE(Expand());
    ExpectSlots({});
    EXPECT_EQ(Lines({"TSW.EXE"}), Installed());
    ExpectInstalled("TSW.EXE");
}

TEST_F(ExpandListFileTest, TitledEntriesOfBothProgramListsFillTheSlotsInOrder)
{
    Provide("TSW.EXE");
    Provide("TSW.HLP");
    Provide("PLOT.EXE");
    Provide("RAINCALC.EXE");
    Provide("TSWDB.DLL");
    WriteList(ListText({"3", "TSW.EXE Tessaryn 3.0", "TSW.HLP", "PLOT.EXE Plotter"}), "disk_1.lst");
    WriteList(ListText({"2", "TSWDB.DLL", "RAINCALC.EXE Rain Calculator"}), "disk_2.lst");
    EXPECT_TRUE(Expand("disk_1.lst"));
    EXPECT_TRUE(Expand("disk_2.lst"));
    ExpectSlots({{"TSW.EXE", "Tessaryn 3.0"}, {"PLOT.EXE", "Plotter"}, {"RAINCALC.EXE", "Rain Calculator"}});
    for (const auto& original : Originals) ExpectInstalled(original.first);
}

TEST_F(ExpandListFileTest, SeventhTitledEntryIsExpandedWithoutAnItem)
{
    Lines list = {"7"};
    std::vector<std::pair<std::string, std::string>> items;
    for (int i = 1; i <= 7; ++i) {
        std::string name = "PROG" + std::to_string(i) + ".EXE";
        std::string title = "Program " + std::to_string(i);
        Provide(name);
        list.push_back(name + " " + title);
        if (i <= kProgramSlots) items.emplace_back(name, title);
    }
    WriteList(ListText(list));
    EXPECT_TRUE(Expand());
    ExpectSlots(items);
    EXPECT_EQ(7u, Installed().size());
    for (const auto& original : Originals) ExpectInstalled(original.first);
}

// ---------------------------------------------------------------------------
// Expansion failures

TEST_F(ExpandListFileTest, TextAfterAPlainNameBecomesPartOfTheName)
{
    Provide("A.TXT");
    Provide("README.TXT");
    WriteList(ListText({"2", "A.TXT", "README.TXT notes"}));
    Boxes.Expect("Installation Error", IDCANCEL);
    EXPECT_FALSE(Expand());
    EXPECT_EQ(Lines({"Installation Error|File Not Found README.TXT note_"}), Transcript());
    EXPECT_EQ(kLzBadInHandle, LastResult);
    EXPECT_EQ(Lines({"A.TXT"}), Installed());
    ExpectInstalled("A.TXT");
}

TEST_F(ExpandListFileTest, MissingCompressedFileKeepsTheInstalledCopyAndStopsTheList)
{
    Provide("A.TXT");
    Provide("C.TXT");
    const std::string oldProgram = SampleBytes(1500, 99);
    ASSERT_TRUE(WriteFileBytes(Join(Dest, "TSW.EXE"), oldProgram));
    ASSERT_TRUE(WriteFileBytes(Join(Dest, "C.TXT"), "last year's C\r\n"));
    WriteList(ListText({"3", "A.TXT", "TSW.EXE Tessaryn 3.0", "C.TXT"}));

    ProgressAtBox atBox;
    Boxes.Expect("Installation Error", IDCANCEL, atBox.Recorder());
    EXPECT_FALSE(Expand());
    EXPECT_EQ(Lines({"Installation Error|File Not Found TSW.EX_"}), Transcript());
    EXPECT_EQ(kLzBadInHandle, LastResult);

    // The progress window stayed up under the expansion message, naming the file.
    EXPECT_TRUE(atBox.Present) << "the progress window was gone under the expansion message";
    EXPECT_EQ(ProgramCaption, atBox.Caption);
    EXPECT_EQ("Expanding TSW.EX_ . . .", atBox.Text);
    EXPECT_EQ(nullptr, FindProgressWindow());

    ExpectInstalled("A.TXT");
    EXPECT_TRUE(ReadBytes(Join(Dest, "TSW.EXE")) == oldProgram) << "the installed TSW.EXE was overwritten";
    EXPECT_EQ("last year's C\r\n", ReadBytes(Join(Dest, "C.TXT"))) << "an entry after the failure was touched";
}

// The person mends the cause while the report is up and retries (Enter: the
// default button): the file is expanded again from its start and the list
// goes on. A Retry before the mend meets the same fault and report.
TEST_F(ExpandListFileTest, RetryAfterTheCauseIsMendedExpandsTheFileAndGoesOn)
{
    const std::string onFullDisk = Join(testenv::FullDiskFolder(), "D");
    const std::string filler = Join(onFullDisk, "FILLER.BIN");
    RemoveOnExit emptyTheDisk(onFullDisk);
    const struct {
        bool FullDisk;
        std::function<void()> Break;
        std::function<void()> Mend;
        std::string Report;
    } rows[] = {
        {false, [&] { ::DeleteFileA(Join(Source, "B.TX_").c_str()); }, [&] { Provide("B.TXT", Originals["B.TXT"]); },
         "File Not Found B.TX_"},
        // 48 KB of the 64 KB disk taken: B.TXT does not fit until it goes.
        {true, [&] { EXPECT_TRUE(WriteFileBytes(filler, SampleBytes(48 * 1024, 9))); },
         [&] { ::DeleteFileA(filler.c_str()); }, testenv::FullDiskReport("B.TXT")},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.Report);
        if (row.FullDisk && !testenv::FullDiskUnavailable().empty()) continue;  // the full-disk tests skip
        if (row.FullDisk) Dest = onFullDisk;
        ASSERT_TRUE(MakeDirectories(Dest));
        Provide("A.TXT");
        Provide("B.TXT", SampleBytes(20000, 8));
        Provide("C.TXT");
        WriteList(ListText({"3", "A.TXT", "B.TXT", "C.TXT"}));
        row.Break();
        Boxes.Clear();
        Boxes.Expect("Installation Error", IDRETRY);
        Boxes.Expect("Installation Error", 0, [&](HWND box) {
            row.Mend();
            ::PostMessageA(box, WM_KEYDOWN, VK_RETURN, 1);
        });
        EXPECT_TRUE(Expand());
        EXPECT_GT(LastResult, 0) << "the driver would still see the fault";
        EXPECT_EQ(Lines({"Installation Error|" + row.Report, "Installation Error|" + row.Report}), Transcript());
        EXPECT_EQ(Lines({"A.TXT", "B.TXT", "C.TXT"}), Installed()) << "a scratch file was left";
        for (const char* name : {"A.TXT", "B.TXT", "C.TXT"}) ExpectInstalled(name);
    }
}

TEST_F(ExpandListFileTest, MissingDestinationFolderIsFileCreationErrorNotDiskSpace)
{
    Provide("A.TXT");
    WriteList(ListText({"1", "A.TXT"}));
    Dest = Join(Scratch, "no such folder");
    Boxes.Expect("Installation Error", IDCANCEL);
    EXPECT_FALSE(Expand());
    EXPECT_EQ(Lines({"Installation Error|File Creation Error A.TXT"}), Transcript());
    EXPECT_EQ(kLzBadOutHandle, LastResult);
    EXPECT_FALSE(FileExists(Dest));
}

TEST_F(ExpandListFileTest, ReadOnlyDestinationFileIsFileCreationError)
{
    Provide("A.TXT");
    Provide("B.TXT");
    const std::string target = Join(Dest, "B.TXT");
    ASSERT_TRUE(WriteFileBytes(target, "kept"));
    ASSERT_TRUE(::SetFileAttributesA(target.c_str(), FILE_ATTRIBUTE_READONLY));
    WriteList(ListText({"2", "A.TXT", "B.TXT"}));
    Boxes.Expect("Installation Error", IDCANCEL);
    EXPECT_FALSE(Expand());
    EXPECT_EQ(Lines({"Installation Error|File Creation Error B.TXT"}), Transcript());
    EXPECT_EQ(kLzBadOutHandle, LastResult);
    ExpectInstalled("A.TXT");
    EXPECT_EQ("kept", ReadBytes(target));
}

TEST_F(ExpandListFileTest, CompressedFileCutInTheMiddleIsReadError)
{
    // One written by the test (literals only) and one from the sample disk
    // set (compressed by mscompress, with back references).
    const std::string literal = Compress(SampleBytes(4000, 3));
    bool found = false;
    const std::string packed = ReadBytes(Join(Join(testenv::SampleSet(), "disk1"), "TSW.EX_"), &found);
    ASSERT_TRUE(found) << "the sample disk set is missing";
    for (const std::string& image : {literal, packed}) {
        Provide("Z.TXT");
        ASSERT_TRUE(WriteFileBytes(Join(Source, "BIG.DA_"), image.substr(0, image.size() / 2)));
        WriteList(ListText({"2", "BIG.DAT", "Z.TXT"}));
        Boxes.Clear();
        Boxes.Expect("Installation Error", IDCANCEL);
        EXPECT_FALSE(Expand());
        EXPECT_EQ(Lines({"Installation Error|File Read Error BIG.DA_"}), Transcript());
        EXPECT_EQ(kLzRead, LastResult);
        // Nothing under the installed name, no scratch file, and the list stopped.
        EXPECT_EQ(Lines(), Installed());
        RemoveTree(Dest);
        MakeDirectories(Dest);
    }
}

TEST_F(ExpandListFileTest, FileNotInTheCompressedFormatIsCopiedAsItStands)
{
    const std::string plain = "plain text, never compressed\r\n" + SampleBytes(700, 4);
    ASSERT_TRUE(WriteFileBytes(Join(Source, "PLAIN.TX_"), plain));
    Originals["PLAIN.TXT"] = plain;
    Provide("A.TXT");
    WriteList(ListText({"2", "PLAIN.TXT", "A.TXT"}));
    EXPECT_TRUE(Expand());
    ExpectInstalled("PLAIN.TXT");
    ExpectInstalled("A.TXT");
}

TEST_F(ExpandListFileTest, ProgressNamesTheListThenEachCompressedFile)
{
    Provide("LOOKUP1.TBL");
    Provide("LOOKUP2.TBL");
    WriteList(ListText({"2", "LOOKUP1.TBL", "LOOKUP2.TBL"}), "disk_2e.lst");
    EXPECT_TRUE(Expand("disk_2e.lst", "Installing Lookup Files"));
    EXPECT_EQ(Lines({"Installing Lookup Files|Reading disk_2e.lst . . .",
                     "Installing Lookup Files|Expanding LOOKUP1.TB_ . . .",
                     "Installing Lookup Files|Expanding LOOKUP2.TB_ . . ."}),
              Progress.Lines());
    EXPECT_EQ(nullptr, FindProgressWindow());
    ExpectInstalled("LOOKUP1.TBL");
    ExpectInstalled("LOOKUP2.TBL");
}

// An installed file carries its compressed file's date and none of the
// attributes of a file of a scratch name that the installer did not make (a
// person's own, hidden and read-only), which stays as it was; no scratch
// file of the installer's stays.
TEST_F(ExpandListFileTest, InstalledFilesCarryTheirDatesAndNoScratchFileStays)
{
    Provide("A.TXT");
    WriteList(ListText({"1", "A.TXT"}));
    const std::string own = Join(Dest, "~TSW0000.TMP");
    ASSERT_TRUE(WriteFileBytes(own, "a person's own"));
    ASSERT_TRUE(::SetFileAttributesA(own.c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN));
    const FILETIME released = {0xB9192000, 0x01BB3755};  // 1996-05-01 12:00
    TFile compressed(::CreateFileA(Join(Source, "A.TX_").c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(::SetFileTime(compressed.Get(), nullptr, nullptr, &released));
    compressed.Reset();
    EXPECT_TRUE(Expand());
    FILETIME installed = {};
    TFile file(::CreateFileA(Join(Dest, "A.TXT").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(::GetFileTime(file.Get(), nullptr, nullptr, &installed));
    EXPECT_EQ(0, ::CompareFileTime(&released, &installed));
    EXPECT_EQ(0u, ::GetFileAttributesA(Join(Dest, "A.TXT").c_str()) & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN));
    std::string bytes;
    EXPECT_TRUE(ReadFileBytes(own, bytes) && bytes == "a person's own");
    ::SetFileAttributesA(own.c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(Lines({"A.TXT", "~TSW0000.TMP"}), Installed());
}
