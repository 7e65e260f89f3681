#include "engine/plain/OptionsFile.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace {
InstallSettings MakeSettings(const char* directory, std::initializer_list<std::uint8_t> flags)
{
    InstallSettings settings;
    std::memset(settings.TargetDirectory, 0, sizeof settings.TargetDirectory);
    std::strcpy(settings.TargetDirectory, directory);
    int i = 0;
    for (std::uint8_t flag : flags) settings.Flags[i++] = flag;
    return settings;
}

std::string Flags(const InstallSettings& settings)
{
    std::string text;
    for (std::uint8_t flag : settings.Flags) text += static_cast<char>('0' + flag);
    return text;
}

bool DirectoryTerminated(const InstallSettings& settings)
{
    return std::memchr(settings.TargetDirectory, 0, kPathSize) != nullptr;
}

// Holds bytes so that they end exactly where an inaccessible page begins: a
// read past the end faults instead of passing unnoticed, and the fault ends
// the test program at once with a message rather than with a crash dialog.
class GuardedBytes {
public:
    GuardedBytes()
    {
        SYSTEM_INFO info;
        ::GetSystemInfo(&info);
        Page = info.dwPageSize;
        Base = static_cast<std::uint8_t*>(::VirtualAlloc(nullptr, 2 * Page, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
        DWORD old;
        Protected = Base && ::VirtualProtect(Base + Page, Page, PAGE_NOACCESS, &old);
        GuardPage = Base + Page;
        GuardSize = Page;
        Handler = ::AddVectoredExceptionHandler(1, &OnFault);
    }
    ~GuardedBytes()
    {
        if (Handler) ::RemoveVectoredExceptionHandler(Handler);
        if (Base) ::VirtualFree(Base, 0, MEM_RELEASE);
    }
    bool Ready() const { return Protected; }

    const std::uint8_t* Place(const std::uint8_t* data, std::size_t size)
    {
        std::uint8_t* start = Base + Page - size;
        std::memcpy(start, data, size);
        return start;
    }

private:
    static LONG CALLBACK OnFault(EXCEPTION_POINTERS* exception)
    {
        const EXCEPTION_RECORD* record = exception->ExceptionRecord;
        if (record->ExceptionCode == EXCEPTION_ACCESS_VIOLATION && record->NumberParameters >= 2) {
            auto address = reinterpret_cast<const std::uint8_t*>(record->ExceptionInformation[1]);
            if (address >= GuardPage && address < GuardPage + GuardSize) {
                std::fprintf(stderr, "FAILED: read %u bytes past the end of the data\n",
                             static_cast<unsigned>(address - GuardPage + 1));
                std::fflush(stderr);
                ::TerminateProcess(::GetCurrentProcess(), 3);
            }
        }
        return EXCEPTION_CONTINUE_SEARCH;
    }

    static inline const std::uint8_t* GuardPage = nullptr;
    static inline std::size_t GuardSize = 0;
    std::size_t Page = 0;
    std::uint8_t* Base = nullptr;
    bool Protected = false;
    PVOID Handler = nullptr;
};
}

TEST(EncodeOptions, LaysOutTheTagDirectoryAndFlagsAt631Bytes)
{
    InstallSettings settings = MakeSettings("D:\\APPS\\TSW", {1, 0, 1, 0, 1});
    OptionsImage image = EncodeOptions(settings);
    ASSERT_EQ(631u, image.size());
    EXPECT_EQ(0, std::memcmp(image.data(), "TS-3.0\0", 7));
    EXPECT_EQ(0, std::memcmp(image.data() + 89, "D:\\APPS\\TSW\0", 12));
    const std::uint8_t flags[5] = {1, 0, 1, 0, 1};
    EXPECT_EQ(0, std::memcmp(image.data() + 626, flags, 5));
    // The reserved fields are zero.
    for (std::size_t offset = 7; offset < 89; ++offset) EXPECT_EQ(0, image[offset]) << offset;
    for (std::size_t offset = 349; offset < 626; ++offset) EXPECT_EQ(0, image[offset]) << offset;
}

TEST(EncodeOptions, TerminatesADirectoryThatFillsItsWholeField)
{
    InstallSettings settings = MakeSettings("", {1, 1, 1, 1, 1});
    std::memset(settings.TargetDirectory, 'B', sizeof settings.TargetDirectory);
    OptionsImage image = EncodeOptions(settings);
    EXPECT_EQ('B', image[89 + 258]);
    EXPECT_EQ(0, image[89 + 259]);
}

TEST(DecodeOptions, RestoresWhatWasWritten)
{
    const std::string longest = "C:\\" + std::string(256, 'L');  // 259 characters
    for (const char* directory : {"C:\\TSW30", "E:\\RADIO\\TESSARYN 3.0", longest.c_str()}) {
        InstallSettings written = MakeSettings(directory, {0, 1, 0, 1, 1});
        OptionsImage image = EncodeOptions(written);
        InstallSettings read = MakeSettings("X:\\OTHER", {1, 0, 1, 0, 0});
        EXPECT_TRUE(DecodeOptions(image.data(), image.size(), read));
        EXPECT_STREQ(directory, read.TargetDirectory);
        EXPECT_EQ("01011", Flags(read));
    }
}

TEST(DecodeOptions, IgnoresAFileWithAnotherTag)
{
    OptionsImage image = EncodeOptions(MakeSettings("D:\\NEW", {0, 0, 0, 0, 0}));
    const char* const tags[] = {"ts-3.0\0", "TS-3.1\0", "TS-3.0X", "\0\0\0\0\0\0\0", "Ts-3.0\0"};
    for (const char* tag : tags) {
        std::memcpy(image.data(), tag, 7);
        InstallSettings settings = MakeSettings("C:\\TSW30", {1, 1, 1, 1, 1});
        EXPECT_FALSE(DecodeOptions(image.data(), image.size(), settings));
        EXPECT_STREQ("C:\\TSW30", settings.TargetDirectory);
        EXPECT_EQ("11111", Flags(settings));
    }
}

TEST(DecodeOptions, ReadsEveryTruncationWithinItsDataAndKeepsWhatItDoesNotReach)
{
    GuardedBytes guarded;
    ASSERT_TRUE(guarded.Ready());
    const char* const newDirectory = "D:\\NEW";  // 6 characters and the terminator
    const char* const oldDirectory = "E:\\OLD\\DIRECTORY";
    OptionsImage image = EncodeOptions(MakeSettings(newDirectory, {0, 1, 0, 1, 0}));

    for (std::size_t length = 0; length <= kOptionsFileSize; ++length) {
        SCOPED_TRACE(length);
        const std::uint8_t* data = guarded.Place(image.data(), length);
        InstallSettings settings = MakeSettings(oldDirectory, {1, 1, 1, 1, 1});
        EXPECT_EQ(length >= 7, DecodeOptions(data, length, settings));
        ASSERT_TRUE(DirectoryTerminated(settings));

        // A directory field cut short has only its first bytes replaced.
        std::size_t replaced = length > 89 ? length - 89 : 0;
        std::string expected = oldDirectory;
        if (replaced >= 7)
            expected = newDirectory;
        else
            expected.replace(0, replaced, newDirectory, replaced);
        EXPECT_EQ(expected, settings.TargetDirectory);

        std::string flags = "11111";
        for (std::size_t i = 0; i < 5; ++i)
            if (length > 626 + i) flags[i] = "01010"[i];
        EXPECT_EQ(flags, Flags(settings));
    }
}

TEST(DecodeOptions, CutsADirectoryWithoutTerminatorTo259Characters)
{
    OptionsImage image = EncodeOptions(MakeSettings("", {1, 1, 1, 1, 1}));
    std::memset(image.data() + 89, 'A', 260);
    InstallSettings settings = MakeSettings("C:\\TSW30", {1, 1, 1, 1, 1});
    EXPECT_TRUE(DecodeOptions(image.data(), image.size(), settings));
    EXPECT_EQ(std::string(259, 'A'), settings.TargetDirectory);

    // Cut off inside the field: still terminated, whatever was there before.
    InstallSettings full = MakeSettings("", {1, 1, 1, 1, 1});
    std::memset(full.TargetDirectory, 'Z', sizeof full.TargetDirectory);
    EXPECT_TRUE(DecodeOptions(image.data(), 89 + 100, full));
    EXPECT_EQ(std::string(100, 'A') + std::string(159, 'Z'), full.TargetDirectory);
}
