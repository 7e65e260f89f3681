#include "front/FrontWindow.h"

#include "shell/LauncherNotification.h"
#include "shell/plain/Settings.h"
#include "tests/kit/BoxWatcher.h"
#include "tests/kit/FileBytes.h"
#include "tests/kit/TempFolder.h"

#include <gtest/gtest.h>

namespace {
// What the launcher stand-in does once the front waits: brings the file
// (here one that is no engine) or goes.
enum class Launcher { None, BringsFile, Goes };
std::string Arriving;

VOID CALLBACK LauncherActs(HWND launcher, UINT, UINT_PTR timer, DWORD)
{
    ::KillTimer(launcher, timer);
    if (Arriving.empty())
        ::DestroyWindow(launcher);
    else
        WriteFileBytes(Arriving, "no engine");
}
}

// A command that needs the engine where none is beside the front: while the
// launcher that is to bring it is there, the front waits for it; then a
// report names the file, no run starts, and the window stays.
TEST(FrontWindow, WithoutItsEngineACommandReportsTheFileAndRunsNothing)
{
    const struct {
        const char* Contents;  // of TSINST95.DLL at the command; null: none there
        Launcher Stands;
        const char* Report;
    } rows[] = {
        {nullptr, Launcher::None, "Installation Error|File Not Found TSINST95.DLL"},
        {"no engine", Launcher::None, "Installation Error|File Read Error TSINST95.DLL"},
        {nullptr, Launcher::BringsFile, "Installation Error|File Read Error TSINST95.DLL"},
        {nullptr, Launcher::Goes, "Installation Error|File Not Found TSINST95.DLL"},
    };
    for (const auto& row : rows) {
        TempFolder folder("front-engine");
        if (row.Contents) {
            ASSERT_TRUE(WriteFileBytes(folder / "TSINST95.DLL", row.Contents));
        }
        CopyBounded(ProgramDirectory, sizeof ProgramDirectory, folder.Path().c_str());
        HWND launcher = nullptr;
        if (row.Stands != Launcher::None) {
            launcher = ::CreateWindowExA(0, "STATIC", "launcher", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
            ASSERT_NE(nullptr, launcher);
            SetLauncherToNotify(static_cast<std::uint16_t>(reinterpret_cast<UINT_PTR>(launcher)));
            Arriving = row.Stands == Launcher::BringsFile ? folder / "TSINST95.DLL" : "";
            ::SetTimer(launcher, 1, 10, &LauncherActs);
        }
        TFrontWindow window(nullptr, MainWindowTitle);
        ASSERT_TRUE(window.Create());
        BoxWatcher boxes;
        boxes.Expect("Installation Error", IDOK);
        ::SendMessageA(window.GetHandle(), WM_COMMAND, CmMaintenanceUpdate, 0);
        EXPECT_EQ(std::vector<std::string>{row.Report}, boxes.Transcript());
        EXPECT_TRUE(::IsWindow(window.GetHandle()));
        NotifyLauncherOfEnd();
        if (launcher) ::DestroyWindow(launcher);
    }
    ProgramDirectory[0] = '\0';
}
