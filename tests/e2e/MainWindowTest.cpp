// The main window as the user sees it: place, size, style and picture.
#include "tests/e2e/Installers.h"

#include "tests/kit/FileBytes.h"
#include "tests/kit/GuiDriver.h"
#include "tests/kit/ScreenCapture.h"
#include "tests/kit/TempFolder.h"

namespace {
using MainWindow = InstallerTest;

struct ScreenFont {
    int PixelsPerInchX;
    int PixelsPerInchY;
    int CharHeight;
};

ScreenFont MeasureScreen()
{
    HDC screen = ::GetDC(nullptr);
    TEXTMETRICA metrics = {};
    ::GetTextMetricsA(screen, &metrics);
    ScreenFont font = {::GetDeviceCaps(screen, LOGPIXELSX), ::GetDeviceCaps(screen, LOGPIXELSY), metrics.tmHeight};
    ::ReleaseDC(nullptr, screen);
    return font;
}
}

TEST_P(MainWindow, IsPlacedHalfAnInchInAndTallEnoughForTenLines)
{
    InstallerSession session(Build().Path(), "A:\\");
    ASSERT_TRUE(session.WaitForMainWindow());
    RECT rect = WindowRect(session.MainWindow());
    LONG_PTR style = WindowStyle(session.MainWindow());
    ASSERT_TRUE(session.CloseByCommand());

    ScreenFont screen = MeasureScreen();
    int screenWidth = ::GetSystemMetrics(SM_CXSCREEN);
    int height = ::GetSystemMetrics(SM_CYBORDER) + 10 * screen.CharHeight + ::GetSystemMetrics(SM_CYCAPTION) +
                 ::GetSystemMetrics(SM_CYMENU);
    EXPECT_EQ(screen.PixelsPerInchX / 2, rect.left);
    EXPECT_EQ(screen.PixelsPerInchY / 2, rect.top);
    EXPECT_EQ(screenWidth - screen.PixelsPerInchX, rect.right - rect.left);
    EXPECT_EQ(height, rect.bottom - rect.top);
    if (screen.PixelsPerInchX == 96 && screen.PixelsPerInchY == 96 && screenWidth == 1024) {
        // The test display (Xvfb 1024x768, 96 dpi).
        EXPECT_EQ(48, rect.left);
        EXPECT_EQ(48, rect.top);
        EXPECT_EQ(928, rect.right - rect.left);
    } else {
        std::printf("display is %dx%d dpi, %d wide: checked against the formulas only\n", screen.PixelsPerInchX,
                    screen.PixelsPerInchY, screenWidth);
    }

    EXPECT_EQ(WS_CAPTION, style & WS_CAPTION);
    EXPECT_EQ(0, style & (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX));
    if (Build().Nt)
        EXPECT_EQ(0, style & WS_SYSMENU) << "the NT build's window has a caption only";
    else
        EXPECT_EQ(WS_SYSMENU, style & WS_SYSMENU) << "the 95 build's window has a system menu";
}

// The picture install.emf beside the installer fills the left half of the
// client area less an eighth of an inch; the right half is never drawn on.
TEST_P(MainWindow, ShowsThePictureBesideTheInstallerInTheLeftHalfOnly)
{
    std::string installer = Build().Path();
    std::string picture = installer.substr(0, installer.find_last_of('\\') + 1) + "install.emf";
    ASSERT_TRUE(FileExists(picture)) << "the build puts install.emf beside the installer: " << picture;

    InstallerSession session(installer, "A:\\");
    ASSERT_TRUE(session.WaitForMainWindow());
    ClientCapture capture = CaptureWhenSettled(session.MainWindow());
    ASSERT_TRUE(session.CloseByCommand());
    ASSERT_TRUE(capture.Valid());

    COLORREF background = ::GetSysColor(COLOR_WINDOW);
    ScreenFont screen = MeasureScreen();
    int half = capture.Width() / 2;
    int marginX = screen.PixelsPerInchX / 8;
    int marginY = (Build().Nt ? screen.PixelsPerInchY : screen.PixelsPerInchX) / 8;
    RECT picturePlace = {marginX, marginY, half - marginX, capture.Height() - marginY};
    RECT rightHalf = {half, 0, capture.Width(), capture.Height()};
    int pictureArea = (picturePlace.right - picturePlace.left) * (picturePlace.bottom - picturePlace.top);
    EXPECT_GT(capture.CountDiffering(picturePlace, background), pictureArea / 4)
        << "the picture should cover much of the left half";
    EXPECT_EQ(0, capture.CountDiffering(rightHalf, background));
}

TEST_P(MainWindow, WithoutThePictureTheClientAreaStaysEmptyAndTheWindowStillCloses)
{
    TempFolder folder("e2e-nopicture");
    std::string installer = folder / (Build().Nt ? "tsinstnt.exe" : "tsinst95.exe");
    ASSERT_TRUE(::CopyFileA(Build().Path().c_str(), installer.c_str(), FALSE));
    ASSERT_FALSE(FileExists(folder / "install.emf"));

    InstallerSession session(installer, "A:\\");
    ASSERT_TRUE(session.WaitForMainWindow());
    ClientCapture capture = CaptureWhenSettled(session.MainWindow());
    ASSERT_TRUE(session.CloseByCommand());
    ASSERT_TRUE(capture.Valid());

    RECT client = {0, 0, capture.Width(), capture.Height()};
    EXPECT_EQ(0, capture.CountDiffering(client, ::GetSysColor(COLOR_WINDOW)));
    EXPECT_EQ(NotificationsPosted(), session.Report().FinishedCount());
}

INSTANTIATE_TEST_SUITE_P(Builds, MainWindow, ::testing::Values(Build95, BuildNt), BuildName);
