// INSTALL.OPT on the source drive and the installation marker, through the
// main window's own operations.
#include "tests/window/InstallerFixture.h"

#include "shell/plain/Settings.h"

#include <cstring>

namespace {

const int ExpectedBeeps = IsNtBuild ? 1 : 0;

// The 631-byte file as the layout describes it, built here byte by byte.
std::string OptionsImage(const std::string& tag, const std::string& directory, const std::uint8_t (&flags)[5])
{
    std::string image(631, '\0');
    std::memcpy(&image[0], tag.data(), std::min<std::size_t>(tag.size(), 7));
    std::memcpy(&image[89], directory.data(), std::min<std::size_t>(directory.size(), 260));
    for (int i = 0; i < 5; ++i) image[626 + i] = static_cast<char>(flags[i]);
    return image;
}

const std::string Tag("TS-3.0\0", 7);

class OptionsFileTest : public InstallerTest {
protected:
    static std::string OptionsPath() { return std::string(1, SourceDrive[0]) + ":\\INSTALL.OPT"; }

    static void ExpectSettings(const std::string& directory, const std::vector<int>& flags)
    {
        EXPECT_EQ(directory, Settings.TargetDirectory);
        std::vector<int> actual(Settings.Flags, Settings.Flags + ComponentCount);
        EXPECT_EQ(flags, actual);
    }
    static void ExpectDefaults() { ExpectSettings("C:\\TSW30", {1, 1, 1, 1, 1}); }
};
}

TEST_F(OptionsFileTest, WrittenFileReadsBackTheDirectoryAndTheFiveFlags)
{
    const std::string longest(259, 'D');
    for (const std::string& directory : {std::string("D:\\APPS\\TESSARYN 3"), longest}) {
        for (const std::vector<int>& flags : {std::vector<int>{1, 0, 1, 0, 1}, std::vector<int>{0, 1, 0, 1, 0}}) {
            CopyBounded(Settings.TargetDirectory, kPathSize, directory.c_str());
            for (int i = 0; i < ComponentCount; ++i) Settings.Flags[i] = static_cast<std::uint8_t>(flags[i]);
            EXPECT_TRUE(Window->WriteOptions());

            std::string bytes = ReadBytes(OptionsPath());
            ASSERT_EQ(631u, bytes.size());
            EXPECT_EQ(Tag, bytes.substr(0, 7));
            EXPECT_EQ(directory, std::string(bytes.c_str() + 89));
            for (int i = 0; i < ComponentCount; ++i) EXPECT_EQ(flags[i], bytes[626 + i]);

            ResetSettings();
            Window->ReadOptions();
            ExpectSettings(directory, flags);
        }
    }
    EXPECT_EQ(0, Beeps);
}

TEST_F(OptionsFileTest, TagInAnotherCaseIsIgnoredWhole)
{
    const std::uint8_t flags[5] = {0, 0, 0, 0, 0};
    for (const std::string& tag : {std::string("ts-3.0\0", 7), std::string("Ts-3.0\0", 7), std::string("TS-3.0X", 7)}) {
        ASSERT_TRUE(WriteFileBytes(OptionsPath(), OptionsImage(tag, "D:\\OTHER", flags)));
        ResetSettings();
        Window->ReadOptions();
        ExpectDefaults();
    }
    EXPECT_EQ(0, Beeps) << "a file that opens gives no beep, whatever its tag";
}

TEST_F(OptionsFileTest, FileCutAfterTheDirectoryRestoresItAndKeepsTheFlags)
{
    const std::uint8_t flags[5] = {0, 0, 0, 0, 0};
    ASSERT_TRUE(WriteFileBytes(OptionsPath(), OptionsImage(Tag, "D:\\CUT", flags).substr(0, 89 + 260)));
    ResetSettings();
    Window->ReadOptions();
    ExpectSettings("D:\\CUT", {1, 1, 1, 1, 1});

    // The flags keep whatever they were, not the defaults.
    Settings.Flags[ComponentCcir] = 0;
    Window->ReadOptions();
    ExpectSettings("D:\\CUT", {1, 1, 0, 1, 1});
}

TEST_F(OptionsFileTest, EveryTruncationLengthReadsAsFarAsTheFileGoes)
{
    const std::uint8_t flags[5] = {0, 1, 0, 1, 0};
    const std::string directory = "D:\\A LONGER DIRECTORY\\THAN THE DEFAULT";
    const std::string image = OptionsImage(Tag, directory, flags);
    // The directory field as it is in memory before reading: the default.
    std::string defaultField(260, '\0');
    std::memcpy(&defaultField[0], "C:\\TSW30", 8);

    for (std::size_t length = 0; length <= image.size(); ++length) {
        SCOPED_TRACE("file of " + std::to_string(length) + " bytes");
        ASSERT_TRUE(WriteFileBytes(OptionsPath(), image.substr(0, length)));
        ResetSettings();
        Window->ReadOptions();

        std::string expectedDirectory = "C:\\TSW30";
        std::vector<int> expectedFlags = {1, 1, 1, 1, 1};
        if (length >= 7) {
            std::string field = defaultField;
            for (std::size_t i = 89; i < length && i < 89 + 260; ++i) field[i - 89] = image[i];
            expectedDirectory = field.substr(0, std::min<std::size_t>(field.find('\0'), 259));
            for (std::size_t i = 0; i < 5; ++i)
                if (length > 626 + i) expectedFlags[i] = flags[i];
        }
        ExpectSettings(expectedDirectory, expectedFlags);
        if (HasFailure()) break;
    }
    EXPECT_EQ(0, Beeps);
}

TEST_F(OptionsFileTest, DirectoryWithoutTerminatorIsCutAt259Characters)
{
    const std::uint8_t flags[5] = {1, 1, 1, 1, 0};
    ASSERT_TRUE(WriteFileBytes(OptionsPath(), OptionsImage(Tag, std::string(260, 'X'), flags)));
    Window->ReadOptions();
    ExpectSettings(std::string(259, 'X'), {1, 1, 1, 1, 0});
}

TEST_F(OptionsFileTest, MissingFileLeavesTheDefaultsAndBeepsOnNtOnly)
{
    DestroyWindowUnderTest();
    Beeps = 0;
    CreateWindowUnderTest();
    ExpectDefaults();
    EXPECT_EQ(ExpectedBeeps, Beeps);
}

TEST_F(OptionsFileTest, ClosingRightAfterStartWritesTheFile)
{
    CopyBounded(Settings.TargetDirectory, kPathSize, "D:\\CHOSEN");
    HWND handle = Window->GetHandle();
    ::SendMessageA(handle, WM_CLOSE, 0, 0);
    EXPECT_FALSE(::IsWindow(handle));
    std::string bytes = ReadBytes(OptionsPath());
    ASSERT_EQ(631u, bytes.size());
    EXPECT_EQ(Tag, bytes.substr(0, 7));
    EXPECT_STREQ("D:\\CHOSEN", bytes.c_str() + 89);
    EXPECT_EQ(0, Beeps);
}

TEST_F(OptionsFileTest, WriteProtectedSourceDriveGetsNoFileAndTheWindowStillCloses)
{
    SourceDrive[0] = testenv::ReadOnlyDrive;
    HWND handle = Window->GetHandle();
    ::SendMessageA(handle, WM_CLOSE, 0, 0);
    EXPECT_FALSE(::IsWindow(handle)) << "the close query refused";
    EXPECT_FALSE(FileExists(OptionsPath()));
    EXPECT_EQ(ExpectedBeeps, Beeps);
    EXPECT_TRUE(Transcript().empty());
}

TEST_F(OptionsFileTest, MarkerFileIsExactlyTenBytes)
{
    std::string target = Folder("target");
    CopyBounded(Settings.TargetDirectory, kPathSize, target.c_str());
    ASSERT_TRUE(WriteFileBytes(Join(target, "TSW_FILE.CHK"), "an older, longer marker"));
    Window->WriteMarkerFile();
    EXPECT_EQ(std::string("TSW_LAN\0\0\0", 10), ReadBytes(Join(target, "TSW_FILE.CHK")));
    EXPECT_TRUE(Transcript().empty());
}

TEST_F(OptionsFileTest, UncreatableMarkerIsReportedUnderInstallationError)
{
    for (const std::string& target : {Join(Scratch, "no such folder"), std::string("R:\\")}) {
        SCOPED_TRACE(target);
        Boxes.Clear();
        CopyBounded(Settings.TargetDirectory, kPathSize, target.c_str());
        Boxes.Expect("Installation Error", IDOK);
        Window->WriteMarkerFile();
        EXPECT_EQ(Lines({"Installation Error|Cannot Create TSW_FILE.CHK"}), Transcript());
        EXPECT_FALSE(FileExists(Join(target, "TSW_FILE.CHK")));
    }
}

TEST_F(OptionsFileTest, WriteProtectedSourceKeepsItsOptionsFileAndTheWindowCloses)
{
    if (!testenv::WriteProtectedDiskHasMedia()) GTEST_SKIP() << "drive R: is no write-protected disk with contents here";

    // An options file from an earlier run on the write-protected source disk.
    std::string image(631, '\0');
    std::memcpy(&image[0], "TS-3.0", 7);
    std::memcpy(&image[89], "D:\\EARLIER", 10);
    const std::uint8_t flags[ComponentCount] = {1, 0, 1, 0, 1};
    std::memcpy(&image[626], flags, ComponentCount);
    const std::string media = Join(testenv::WriteProtectedMedia(), "INSTALL.OPT");
    RemoveOnExit removeMedia(media);
    ASSERT_TRUE(WriteFileBytes(media, image));
    const std::string onDrive = std::string(1, testenv::ReadOnlyDrive) + ":\\INSTALL.OPT";

    DestroyWindowUnderTest();
    ResetSettings();
    SourceDrive[0] = testenv::ReadOnlyDrive;
    Beeps = 0;
    CreateWindowUnderTest();
    EXPECT_STREQ("D:\\EARLIER", Settings.TargetDirectory);
    EXPECT_EQ(0, std::memcmp(flags, Settings.Flags, ComponentCount));
    EXPECT_EQ(0, Beeps) << "reading a write-protected disk is no failure";

    CopyBounded(Settings.TargetDirectory, kPathSize, "D:\\CHANGED");
    Settings.Flags[ComponentCrane] = 1;
    HWND handle = Window->GetHandle();
    ::SendMessageA(handle, WM_CLOSE, 0, 0);
    EXPECT_FALSE(::IsWindow(handle)) << "the close query refused";
    EXPECT_EQ(IsNtBuild ? 1 : 0, Beeps);
    EXPECT_TRUE(ReadBytes(onDrive) == image) << "the options file on the write-protected disk changed";
    EXPECT_TRUE(Transcript().empty());
}
