#include "front/FrontWindow.h"

#include "shell/plain/Settings.h"
#include "tests/kit/BoxWatcher.h"
#include "tests/kit/FileBytes.h"
#include "tests/kit/TempFolder.h"

#include <gtest/gtest.h>

// A command that needs the engine where none is beside the front, nor a
// launcher bringing one: a report names the file, no run starts, and the
// window stays.
TEST(FrontWindow, WithoutItsEngineACommandReportsTheFileAndRunsNothing)
{
    const struct {
        const char* Contents;  // of TSINST95.DLL; null: none there
        const char* Report;
    } rows[] = {
        {nullptr, "Installation Error|File Not Found TSINST95.DLL"},
        {"no engine", "Installation Error|File Read Error TSINST95.DLL"},
    };
    for (const auto& row : rows) {
        TempFolder folder("front-engine");
        if (row.Contents) {
            ASSERT_TRUE(WriteFileBytes(folder / "TSINST95.DLL", row.Contents));
        }
        CopyBounded(ProgramDirectory, sizeof ProgramDirectory, folder.Path().c_str());
        TFrontWindow window(nullptr, MainWindowTitle);
        ASSERT_TRUE(window.Create());
        BoxWatcher boxes;
        boxes.Expect("Installation Error", IDOK);
        ::SendMessageA(window.GetHandle(), WM_COMMAND, CmMaintenanceUpdate, 0);
        EXPECT_EQ(std::vector<std::string>{row.Report}, boxes.Transcript());
        EXPECT_TRUE(::IsWindow(window.GetHandle()));
    }
    ProgramDirectory[0] = '\0';
}
