#include "tests/e2e/FlowFixture.h"

#include "tests/kit/BoxWatcher.h"
#include "tests/kit/FileBytes.h"
#include "tests/kit/GuiDriver.h"
#include "tests/kit/UnixBridge.h"
#include "tests/kit/WindowFinder.h"

#include <algorithm>
#include <cstring>

namespace flow {

std::string DataFolder(const std::string& relative)
{
    char root[MAX_PATH] = {};
    DWORD length = ::GetEnvironmentVariableA("TSINST_TEST_DATA", root, sizeof root);
    if (length == 0 || length >= sizeof root) return std::string();
    std::string folder = ToWindowsPath(root);
    if (folder.empty()) return folder;
    while (!folder.empty() && folder.back() == '\\') folder.pop_back();
    std::string tail = relative;
    std::replace(tail.begin(), tail.end(), '/', '\\');
    return tail.empty() ? folder : folder + "\\" + tail;
}

std::string Upper(std::string text)
{
    for (char& c : text)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return text;
}

std::string WindowsDirectory()
{
    char buffer[MAX_PATH] = {};
    ::GetWindowsDirectoryA(buffer, sizeof buffer);
    return buffer;
}

namespace {
// Release folders and where their files are installed, by component flag.
struct ReleaseFolder {
    int Component;
    const char* Folder;
    const char* Subdirectory;  // "" for the target itself
};
const ReleaseFolder ReleaseFolders[] = {
    {0, "PROGRAM1", ""}, {0, "PROGRAM2", ""},     {0, "LOOKUP", "LOOKUP"}, {0, "USER_DLL", "USER_DLL"},
    {1, "CRANE", "CRANE"}, {2, "CCIR", "CCIR"}, {3, "CANADA", "CANADA"}, {4, "TSDATA", "TSDATA"},
};
}

FileMap TreeOf(const std::string& folder)
{
    FileMap tree;
    ReadInstalledTree(folder, tree);
    return tree;
}

bool ReadInstalledTree(const std::string& folder, FileMap& tree)
{
    const bool read = ReadTree(folder, tree, TreeUpperCase);
    tree.erase("TSW_INST.LOG");
    return read;
}

FileMap FolderFiles(const std::string& folder)
{
    return TakeTree(folder, TreeUpperCase | TreeTopOnly);
}

std::map<std::string, std::string> ReleasePaths(const std::string& release, const std::string& components)
{
    std::map<std::string, std::string> paths;
    for (const ReleaseFolder& folder : ReleaseFolders) {
        if (components.at(folder.Component) != '1') continue;
        std::string prefix = *folder.Subdirectory ? std::string(folder.Subdirectory) + "\\" : std::string();
        std::string from = release + "\\" + folder.Folder;
        for (const auto& file : FolderFiles(from)) paths[prefix + file.first] = from + "\\" + file.first;
    }
    return paths;
}

FileMap ReleaseFiles(const std::string& release, const std::string& components)
{
    FileMap files;
    for (const auto& file : ReleasePaths(release, components)) files[file.first] = ReadBytes(file.second);
    return files;
}

SavedOptions ReadOptionsFile(const std::string& path)
{
    SavedOptions options;
    std::string bytes;
    if (!ReadFileBytes(path, bytes) || bytes.size() != 631 || bytes.compare(0, 7, std::string("TS-3.0\0", 7)) != 0)
        return options;
    options.Valid = true;
    options.Target = std::string(bytes.c_str() + 89, strnlen(bytes.c_str() + 89, 260));
    for (std::size_t i = 626; i < 631; ++i) options.Components += bytes[i] == 1 ? '1' : bytes[i] == 0 ? '0' : '?';
    return options;
}

std::string OptionsFileBytes(const std::string& target, const std::string& components)
{
    std::string bytes(631, '\0');
    bytes.replace(0, 7, "TS-3.0\0", 7);
    bytes.replace(89, target.size(), target);
    for (std::size_t i = 0; i < 5; ++i) bytes[626 + i] = components[i] == '1' ? 1 : 0;
    return bytes;
}

const std::string& MarkerBytes()
{
    static const std::string bytes("TSW_LAN\0\0\0", 10);
    return bytes;
}

std::vector<std::string> GroupCommands(const std::string& target, const std::vector<ProgramItemText>& items,
                                       bool removalItem)
{
    std::vector<std::string> commands = {"[CreateGroup(Tessaryn 3.0)]"};
    for (const ProgramItemText& item : items)
        commands.push_back("[AddItem(" + target + "\\" + item.File + ", " + item.Title + ")]");
    commands.push_back("[AddItem(" + WindowsDirectory() + "\\notepad.exe " + target + "\\tsw.txt, Revisions)]");
    if (removalItem) commands.push_back("[AddItem(" + target + "\\TSWREMOV.EXE, Remove Tessaryn 3.0)]");
    for (std::string& command : commands) command.push_back('\0');
    return commands;
}

std::vector<ProgramItemText> SampleProgramItems()
{
    return {{"TSW.EXE", "Tessaryn 3.0"}, {"RAINCALC.EXE", "Rain Calculator"}};
}

// ---------------------------------------------------------------------------

Installer::Installer(const InstallerBuild& build, const std::string& directory, const std::string& source)
    : Installer(build.Path(), directory, source)
{
}

Installer::Installer(const std::string& program, const std::string& directory, const std::string& source)
{
    LauncherSetup setup;
    setup.Installer = program;
    setup.Source = source;
    setup.Directory = directory;
    setup.TimeoutMs = 120000;
    Run = std::make_unique<LauncherRun>(setup);
}

Installer::Installer(StartedBySetup, const std::vector<std::string>& environment)
    : BySetup(true)
{
    LauncherSetup setup;
    setup.Installer = "A:\\SETUP.EXE";
    setup.Environment = environment;
    setup.Raw = true;
    setup.TimeoutMs = 120000;
    Run = std::make_unique<LauncherRun>(setup);
}

::testing::AssertionResult Installer::WaitForMainWindow()
{
    if (BySetup) {
        ::testing::AssertionResult found = WaitForWindow({MainWindowTitle, "TsFrameWindow", 0}, Main, LauncherRun::kStartLimitMs);
        if (found) ::GetWindowThreadProcessId(Main, &Pid);
        return found;
    }
    ::testing::AssertionResult started = Run->WaitForInstaller(Pid);
    if (!started) return started;
    return WaitForWindow({MainWindowTitle, "", Pid}, Main, LauncherRun::kStartLimitMs);
}

::testing::AssertionResult Installer::NextBox(Box& box, DWORD timeoutMs)
{
    const DWORD start = ::GetTickCount();
    HANDLE process = ::OpenProcess(SYNCHRONIZE, FALSE, Pid);
    std::vector<WindowInfo> windows;
    bool ended = false;
    for (;;) {
        windows = VisibleTopLevelWindows();
        for (const WindowInfo& window : windows) {
            if (window.ProcessId != Pid || window.ClassName != "#32770" || Returned.count(window.Handle)) continue;
            Returned.insert(window.Handle);
            box.Handle = window.Handle;
            box.Title = window.Title;
            box.Text = MessageBoxText(window.Handle);
            Seen.push_back(box.Title + "|" + box.Text);
            if (process) ::CloseHandle(process);
            return ::testing::AssertionSuccess();
        }
        ended = process && ::WaitForSingleObject(process, 0) == WAIT_OBJECT_0;
        if (ended || ::GetTickCount() - start >= timeoutMs) break;
        ::Sleep(10);
    }
    if (process) ::CloseHandle(process);
    std::string seen;
    for (const std::string& line : Seen) seen += "  " + line + "\n";
    return ::testing::AssertionFailure() << (ended ? "the installer ended" : "timed out") << " waiting for its next box"
                                         << "; boxes so far:\n"
                                         << seen << "visible top-level windows:\n"
                                         << DescribeWindows(windows);
}

::testing::AssertionResult Installer::Answer(const std::string& title, const std::string& text, int button,
                                             const std::function<::testing::AssertionResult()>& before)
{
    Box box;
    ::testing::AssertionResult next = NextBox(box);
    if (!next) return ::testing::AssertionFailure() << "expected \"" << title << "|" << text << "\": " << next.message();
    if (box.Title != title || box.Text != text) {
        return ::testing::AssertionFailure() << "expected the box \"" << title << "|" << text << "\", got \""
                                             << box.Title << "|" << box.Text << "\"";
    }
    // A message box ends on any button id posted to it, even one it lacks.
    if (!::GetDlgItem(box.Handle, button))
        return ::testing::AssertionFailure() << "the box \"" << title << "|" << text << "\" has no button " << button;
    if (before) {
        ::testing::AssertionResult done = before();
        if (!done) return done;
    }
    return Press(box.Handle, button);
}

::testing::AssertionResult Installer::OpenDialog(int command, const std::string& title, HWND& dialog)
{
    PostCommand(Main, command);
    Box box;
    ::testing::AssertionResult next = NextBox(box);
    if (!next) return next;
    if (box.Title != title)
        return ::testing::AssertionFailure() << "expected the dialog \"" << title << "\", got the box \"" << box.Title
                                             << "|" << box.Text << "\"";
    dialog = box.Handle;
    return ::testing::AssertionSuccess();
}

::testing::AssertionResult Installer::Press(HWND dialog, int button)
{
    PressButton(dialog, button);
    return WaitForWindowGone(dialog);
}

::testing::AssertionResult Installer::IdleWithoutBoxes()
{
    HWND dialog = nullptr;
    ::testing::AssertionResult opened = OpenDialog(LocalCommand, LocalDialogTitle, dialog);
    if (!opened) return ::testing::AssertionFailure() << "the installer is not idle: " << opened.message();
    return Press(dialog, IDCANCEL);
}

::testing::AssertionResult Installer::Close()
{
    if (Main && ::IsWindow(Main)) PostCommand(Main, ExitCommand);
    return Run->WaitForEnd();
}

// ---------------------------------------------------------------------------

::testing::AssertionResult FillInstallDialog(HWND dialog, const InstallEntries& entries)
{
    if (!SetControlText(dialog, SourceField, entries.Source) || !SetControlText(dialog, TargetField, entries.Target))
        return ::testing::AssertionFailure() << "cannot fill the dialog's fields";
    for (int i = 0; i < 5; ++i)
        if (!SetCheck(dialog, FirstComponentBox + i, entries.Components.at(i) == '1'))
            return ::testing::AssertionFailure() << "cannot set box " << FirstComponentBox + i;
    return ::testing::AssertionSuccess();
}

InstallEntries ReadInstallDialog(HWND dialog)
{
    InstallEntries entries;
    entries.Source = ControlText(dialog, SourceField);
    entries.Target = ControlText(dialog, TargetField);
    entries.Components.clear();
    for (int i = 0; i < 5; ++i) entries.Components += IsChecked(dialog, FirstComponentBox + i) ? '1' : '0';
    return entries;
}

::testing::AssertionResult QuestionStaysInFrontOfTheGroup(Installer& installer, const std::string& title,
                                                          Box& question)
{
    ::testing::AssertionResult step = installer.NextBox(question);
    if (!step) return step;
    if (question.Title != title || question.Text != ExitQuestion)
        return ::testing::AssertionFailure() << "expected the question \"" << title << "|" << ExitQuestion
                                             << "\", got \"" << question.Title << "|" << question.Text << "\"";
    // The shell opens the group's window in its own time: the order is
    // looked at once the window is there and the shell has done with it.
    std::vector<HWND> groupWindows;
    for (const DWORD start = ::GetTickCount();
         (groupWindows = FolderWindows(GroupName)).empty() && ::GetTickCount() - start < LauncherRun::kStartLimitMs;)
        ::Sleep(50);
    DWORD shell = 0;
    if (!groupWindows.empty() && ::GetWindowThreadProcessId(groupWindows[0], &shell)) {
        if (HANDLE process = ::OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE, shell)) {
            ::WaitForInputIdle(process, LauncherRun::kStartLimitMs);
            ::CloseHandle(process);
        }
        groupWindows = FolderWindows(GroupName);
    }
    if (groupWindows.size() != 1)
        return ::testing::AssertionFailure() << groupWindows.size() << " group windows, not the shell's one";
    // The shell's window takes the foreground when it opens; the question
    // takes it back at its next look (a fraction of a second): the order is
    // read until it holds, for at most half the question's guard.
    const auto above = [&] {
        HWND below = question.Handle;
        while (below && below != groupWindows[0]) below = ::GetWindow(below, GW_HWNDNEXT);
        return below != nullptr;
    };
    for (const DWORD start = ::GetTickCount();
         !(::GetForegroundWindow() == question.Handle && above()) && ::GetTickCount() - start < 3000;)
        ::Sleep(20);
    if (::GetForegroundWindow() != question.Handle)
        return ::testing::AssertionFailure() << "the question is not in the foreground";
    if (!above()) return ::testing::AssertionFailure() << "the group's window lies above the question";
    return ::testing::AssertionSuccess();
}

void CloseGroupFolderWindows(DWORD waitMs)
{
    const DWORD start = ::GetTickCount();
    while (CloseFolderWindows(GroupName) == 0 && ::GetTickCount() - start < waitMs) ::Sleep(50);
}

// ---------------------------------------------------------------------------

namespace {
// The desktop's own Program Manager service comes up with its desktop
// process, shortly after the desktop's first window.
bool WaitForProgman(bool answers, DWORD timeoutMs)
{
    const DWORD start = ::GetTickCount();
    for (;;) {
        if (ProgmanAnswers() == answers) return true;
        if (::GetTickCount() - start >= timeoutMs) return false;
        ::Sleep(50);
    }
}
}

void FlowTest::Prepare(Progman progman, const std::string& diskSet)
{
    ASSERT_TRUE(OnPrivateDesktop()) << "the flow tests run on a desktop of their own";
    const std::string data = DataFolder("");
    ASSERT_FALSE(data.empty()) << "TSINST_TEST_DATA does not name the sample data (tests/test_data.sh)";

    Work = std::make_unique<TempFolder>("e2e-flow");
    ASSERT_TRUE(CopyTree(DataFolder(diskSet + "\\disk1"), DiskFolder(1))) << "cannot copy disk 1 of " << diskSet;
    ASSERT_TRUE(CopyTree(DataFolder(diskSet + "\\disk2"), DiskFolder(2))) << "cannot copy disk 2 of " << diskSet;
    TargetPath = *Work / "Tsw30";

    Floppy = std::make_unique<FloppyDrive>();
    ASSERT_TRUE(Floppy->Available()) << Floppy->LastError();
    ASSERT_TRUE(Floppy->Insert(DiskFolder(1))) << Floppy->LastError();

    // Wine's desktop process serves "PROGMAN" for every desktop.
    ASSERT_TRUE(WaitForProgman(true, 15000)) << "Wine's Program Manager service did not come up on "
                                             << CurrentDesktopName();
    if (progman == Progman::Wine) return;
    WineServices = std::make_unique<ShellDdeServersHidden>();
    ASSERT_TRUE(WaitForProgman(false, 2000)) << "Program Manager still answers with "
                                             << WineServices->Count() << " server windows hidden";
    if (progman == Progman::Absent) return;
    Server = std::make_unique<DdeServerProcess>();
    ASSERT_TRUE(Server->Ready()) << "the Program Manager stand-in did not start";
}

void FlowTest::UseImages()
{
    for (int disk = 1; disk <= 2; ++disk) {
        auto& image = Images[disk - 1];
        image = std::make_unique<FloppyImage>(DataFolder("images\\disk" + std::to_string(disk) + ".img"));
        ASSERT_TRUE(image->Mounted()) << image->LastError();
    }
    ASSERT_TRUE(Floppy->Insert(DiskFolder(1))) << Floppy->LastError();
}

std::string FlowTest::DiskFolder(int disk) const
{
    if (Images[disk - 1]) return Images[disk - 1]->Folder();
    return *Work / ("disk" + std::to_string(disk));
}

::testing::AssertionResult FlowTest::SubmitInstallDialog(Installer& installer, int command,
                                                         const InstallEntries& entries)
{
    HWND dialog = nullptr;
    const char* title = command == NetworkCommand ? NetworkDialogTitle : LocalDialogTitle;
    ::testing::AssertionResult step = installer.OpenDialog(command, title, dialog);
    if (!step) return step;
    if (!(step = FillInstallDialog(dialog, entries))) return step;
    return installer.Press(dialog, IDOK);
}

::testing::AssertionResult FlowTest::InstallThroughDisks(Installer& installer, int command,
                                                         const InstallEntries& entries)
{
    ::testing::AssertionResult step = SubmitInstallDialog(installer, command, entries);
    if (!step) return step;

    const std::string drive = entries.Source;
    if (entries.Components[0] == '1') {
        // Disk 1 is in the drive already.
        if (!(step = installer.Answer(DiskPromptTitle, "Place Program Disk 1 in Drive " + drive, IDOK))) return step;
    } else if (entries.Components == "00000") {
        return ::testing::AssertionSuccess();
    }
    return installer.Answer(DiskPromptTitle, "Place Program Disk 2 in Drive " + drive, IDOK, InsertDisk(2));
}

std::function<::testing::AssertionResult()> FlowTest::InsertDisk(int disk)
{
    return [this, disk] { return ::testing::AssertionResult(Floppy->Insert(DiskFolder(disk))) << Floppy->LastError(); };
}

}  // namespace flow
