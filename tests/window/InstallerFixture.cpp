#include "tests/window/InstallerFixture.h"

#include "shell/plain/Settings.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace testfiles {
std::string Join(const std::string& directory, const std::string& name)
{
    if (!directory.empty() && directory.back() == '\\') return directory + name;
    return directory + "\\" + name;
}

bool Exists(const std::string& path)
{
    return ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool IsDirectory(const std::string& path)
{
    DWORD attributes = ::GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool WriteBytes(const std::string& path, const std::string& bytes)
{
    HANDLE file = ::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    BOOL ok = ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    ::CloseHandle(file);
    return ok && written == bytes.size();
}

std::string ReadBytes(const std::string& path, bool* found)
{
    HANDLE file = ::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (found) *found = file != INVALID_HANDLE_VALUE;
    if (file == INVALID_HANDLE_VALUE) return std::string();
    std::string bytes;
    char buffer[65536];
    DWORD read = 0;
    while (::ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read > 0) bytes.append(buffer, read);
    ::CloseHandle(file);
    return bytes;
}

bool MakeDirectories(const std::string& path)
{
    for (std::size_t i = 3; i <= path.size(); ++i) {
        if (i < path.size() && path[i] != '\\') continue;
        std::string level = path.substr(0, i);
        if (!IsDirectory(level) && !::CreateDirectoryA(level.c_str(), nullptr)) return false;
    }
    return true;
}

std::vector<std::string> Names(const std::string& directory)
{
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE search = ::FindFirstFileA(Join(directory, "*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return names;
    do {
        std::string name = found.cFileName;
        if (name != "." && name != "..") names.push_back(name);
    } while (::FindNextFileA(search, &found));
    ::FindClose(search);
    std::sort(names.begin(), names.end());
    return names;
}

void RemoveTree(const std::string& path)
{
    DWORD attributes = ::GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return;
    if (attributes & FILE_ATTRIBUTE_READONLY)
        ::SetFileAttributesA(path.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
        for (const std::string& name : Names(path)) RemoveTree(Join(path, name));
        ::RemoveDirectoryA(path.c_str());
    } else {
        ::DeleteFileA(path.c_str());
    }
}

void CopyTree(const std::string& from, const std::string& to)
{
    MakeDirectories(to);
    for (const std::string& name : Names(from)) {
        std::string source = Join(from, name);
        if (IsDirectory(source))
            CopyTree(source, Join(to, name));
        else
            ::CopyFileA(source.c_str(), Join(to, name).c_str(), FALSE);
    }
}

std::string SampleBytes(std::size_t size, unsigned seed)
{
    std::string bytes(size, '\0');
    unsigned state = seed * 2654435761u + 12345u;
    for (std::size_t i = 0; i < size; ++i) {
        state = state * 1103515245u + 12345u;
        bytes[i] = static_cast<char>(state >> 23);
    }
    return bytes;
}

std::string Compress(const std::string& data)
{
    std::string image("SZDD\x88\xF0\x27\x33", 8);
    image += 'A';
    image += '\0';
    std::uint32_t size = static_cast<std::uint32_t>(data.size());
    for (int i = 0; i < 4; ++i) image += static_cast<char>((size >> (8 * i)) & 0xFF);
    // Each control byte announces eight literals (bits set, lowest first).
    for (std::size_t i = 0; i < data.size(); i += 8) {
        image += '\xFF';
        image += data.substr(i, 8);
    }
    return image;
}

std::string CompressedName(const std::string& installed)
{
    std::string name = installed;
    if (!name.empty()) name.back() = '_';
    return name;
}

bool WriteCompressed(const std::string& directory, const std::string& installed, const std::string& data)
{
    std::string image = Compress(data);
    image[9] = installed.empty() ? '\0' : installed.back();
    return WriteBytes(Join(directory, CompressedName(installed)), image);
}

std::string ListText(const std::vector<std::string>& lines)
{
    std::string text;
    for (const std::string& line : lines) text += line + "\r\n";
    return text;
}
}

namespace testenv {
std::string Root()
{
    const char* unixPath = std::getenv("TSINST_WINDOW_DATA");
    if (!unixPath || unixPath[0] != '/') return std::string();
    std::string path = std::string("Z:") + unixPath;
    std::replace(path.begin(), path.end(), '/', '\\');
    while (path.size() > 3 && path.back() == '\\') path.pop_back();
    return path;
}

std::string FloppyFolder() { return testfiles::Join(Root(), "floppy"); }
std::string FullDiskFolder() { return testfiles::Join(Root(), "full"); }
std::string SampleRelease() { return testfiles::Join(Root(), "release"); }
std::string SampleSet() { return testfiles::Join(Root(), "set"); }

std::string FullDiskUnavailable()
{
    bool found = false;
    std::string why = testfiles::ReadBytes(testfiles::Join(Root(), "full.unavailable"), &found);
    if (!found) return std::string();
    return why.empty() ? std::string("no reason given") : why;
}

const char* Variant() { return IsNtBuild ? "nt" : "95"; }
}

void EmulatedFloppy::Eject()
{
    std::string floppy = testenv::FloppyFolder();
    if (!Origin.empty()) {
        if (!::MoveFileA(floppy.c_str(), Origin.c_str()))
            ADD_FAILURE() << "cannot take the disk out of A: back to " << Origin;
        Origin.clear();
    } else {
        testfiles::RemoveTree(floppy);
    }
    ::CreateDirectoryA(floppy.c_str(), nullptr);
}

void EmulatedFloppy::Insert(const std::string& diskFolder)
{
    Eject();
    std::string floppy = testenv::FloppyFolder();
    ::RemoveDirectoryA(floppy.c_str());
    if (!::MoveFileA(diskFolder.c_str(), floppy.c_str())) {
        ADD_FAILURE() << "cannot insert " << diskFolder << " into A:";
        ::CreateDirectoryA(floppy.c_str(), nullptr);
        return;
    }
    Origin = diskFolder;
}

namespace {
ProgressRecorder* ActiveRecorder = nullptr;

BOOL CALLBACK FindProgress(HWND window, LPARAM param)
{
    DWORD process = 0;
    ::GetWindowThreadProcessId(window, &process);
    if (process == ::GetCurrentProcessId() && ::IsWindowVisible(window) && ProgressObject(window)) {
        *reinterpret_cast<HWND*>(param) = window;
        return FALSE;
    }
    return TRUE;
}
}

TShowProg* ProgressObject(HWND window)
{
    char className[32] = {};
    ::GetClassNameA(window, className, sizeof className);
    // Only the framework's generic windows carry a TWindow in their user data.
    if (std::strcmp(className, "TsWindow") != 0) return nullptr;
    auto* object = reinterpret_cast<TWindow*>(::GetWindowLongPtrA(window, GWLP_USERDATA));
    return object ? dynamic_cast<TShowProg*>(object) : nullptr;
}

HWND FindProgressWindow()
{
    HWND found = nullptr;
    ::EnumWindows(&FindProgress, reinterpret_cast<LPARAM>(&found));
    return found;
}

ProgressRecorder::ProgressRecorder()
{
    ActiveRecorder = this;
    Handle = ::SetWindowsHookExA(WH_CALLWNDPROCRET, &ProgressRecorder::Hook, nullptr, ::GetCurrentThreadId());
}

ProgressRecorder::~ProgressRecorder()
{
    if (Handle) ::UnhookWindowsHookEx(Handle);
    if (ActiveRecorder == this) ActiveRecorder = nullptr;
}

LRESULT CALLBACK ProgressRecorder::Hook(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HC_ACTION && ActiveRecorder) {
        auto* message = reinterpret_cast<CWPRETSTRUCT*>(lParam);
        if (message->message == WM_PAINT) {
            if (TShowProg* progress = ProgressObject(message->hwnd)) {
                ProgressFrame frame;
                frame.Window = message->hwnd;
                char caption[128] = {};
                ::GetWindowTextA(message->hwnd, caption, sizeof caption);
                frame.Caption = caption;
                frame.Text = progress->GetText();
                ::GetWindowRect(message->hwnd, &frame.Bounds);
                auto& frames = ActiveRecorder->Recorded;
                if (frames.empty() || frames.back().Window != frame.Window || frames.back().Text != frame.Text)
                    frames.push_back(frame);
            }
        }
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

std::vector<std::string> ProgressRecorder::ListsRead() const
{
    std::vector<std::string> lists;
    const std::string prefix = "Reading ";
    const std::string suffix = " . . .";
    for (const ProgressFrame& frame : Recorded) {
        const std::string& text = frame.Text;
        if (text.compare(0, prefix.size(), prefix) == 0 && text.size() > prefix.size() + suffix.size() &&
            text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0)
            lists.push_back(text.substr(prefix.size(), text.size() - prefix.size() - suffix.size()));
    }
    return lists;
}

std::vector<std::string> ProgressRecorder::Lines() const
{
    std::vector<std::string> lines;
    for (const ProgressFrame& frame : Recorded) lines.push_back(frame.Caption + "|" + frame.Text);
    return lines;
}

void InstallerTest::SetUp()
{
    ASSERT_FALSE(testenv::Root().empty())
        << "TSINST_WINDOW_DATA is not set: run through CTest, whose fixture tests/window/window_data.sh "
           "prepares drive A: and the test folders";
    ASSERT_TRUE(testfiles::IsDirectory(testenv::FloppyFolder())) << testenv::FloppyFolder();
    ResetSettings();
    SourceDrive[0] = 'A';
    SourceDrive[1] = '\0';
    Floppy.Eject();
    // The fixture's floppy folder is what A: shows.
    ASSERT_TRUE(testfiles::WriteBytes(testfiles::Join(testenv::FloppyFolder(), "probe.txt"), "probe"));
    ASSERT_TRUE(testfiles::Exists("A:\\probe.txt")) << "drive A: does not show " << testenv::FloppyFolder();
    ::DeleteFileA("A:\\probe.txt");

    const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
    Scratch = testfiles::Join(testfiles::Join(testenv::Root(), testenv::Variant()),
                              std::string(info->test_suite_name()) + "." + info->name());
    testfiles::RemoveTree(Scratch);
    ASSERT_TRUE(testfiles::MakeDirectories(Scratch)) << Scratch;
    CreateWindowUnderTest();
}

void InstallerTest::CreateWindowUnderTest()
{
    App = std::make_unique<TApplication>();
    Window = new TInstallWindow(nullptr, MainWindowTitle);
    App->SetMainWindow(std::unique_ptr<TFrameWindow>(Window));
    ASSERT_TRUE(Window->Create());
    ::ShowWindow(Window->GetHandle(), SW_SHOWNORMAL);
    ::UpdateWindow(Window->GetHandle());
}

void InstallerTest::DestroyWindowUnderTest()
{
    App.reset();
    Window = nullptr;
    // A destroyed main window asks the message loop to end; there is none
    // here, and the request must not end the next test's message boxes.
    MSG message;
    while (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message != WM_QUIT) ::DispatchMessageA(&message);
    }
}

void InstallerTest::TearDown()
{
    DestroyWindowUnderTest();
    Floppy.Eject();
    for (const BoxWatcher::Box& box : Boxes.Seen())
        EXPECT_TRUE(box.Expected) << "unexpected box: " << box.Title << "|" << box.Text;
    EXPECT_EQ(0u, Boxes.PendingAnswers()) << "a box the test waited for never appeared";
    if (!HasFailure()) testfiles::RemoveTree(Scratch);
}

std::string InstallerTest::Folder(const std::string& name)
{
    std::string path = testfiles::Join(Scratch, name);
    testfiles::MakeDirectories(path);
    return path;
}
