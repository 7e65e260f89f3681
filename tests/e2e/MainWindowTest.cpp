// The main window as the user sees it: place, size, style and picture.
#include "tests/e2e/Installers.h"

#include "tests/kit/FileBytes.h"
#include "tests/kit/GuiDriver.h"
#include "tests/kit/ScreenCapture.h"
#include "tests/kit/TempFolder.h"

namespace {
using MainWindow = InstallerTest;

// The test display: 1024x768 at 96 dpi, a 16-pixel system font, a 19-pixel
// caption and menu bar.
::testing::AssertionResult OnTheTestDisplay()
{
    HDC screen = ::GetDC(nullptr);
    const int dpiX = ::GetDeviceCaps(screen, LOGPIXELSX);
    const int dpiY = ::GetDeviceCaps(screen, LOGPIXELSY);
    ::ReleaseDC(nullptr, screen);
    if (dpiX == 96 && dpiY == 96 && ::GetSystemMetrics(SM_CXSCREEN) == 1024)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "the display is " << ::GetSystemMetrics(SM_CXSCREEN) << " wide at " << dpiX
                                         << "x" << dpiY << " dpi, not the test display";
}
}

// The picture install.emf beside the installer fills the left half of the
// client area less an eighth of an inch; the right half is never drawn on.
TEST_P(MainWindow, IsPlacedHalfAnInchInTallEnoughForTenLinesWithThePictureInTheLeftHalfOnly)
{
    std::string installer = Build().Path();
    std::string picture = installer.substr(0, installer.find_last_of('\\') + 1) + "install.emf";
    ASSERT_TRUE(FileExists(picture)) << "the build puts install.emf beside the installer: " << picture;

    InstallerSession session(installer, "A:\\");
    ASSERT_TRUE(session.WaitForMainWindow());
    RECT rect = WindowRect(session.MainWindow());
    LONG_PTR style = WindowStyle(session.MainWindow());
    ClientCapture capture = CaptureWhenSettled(session.MainWindow());
    ASSERT_TRUE(session.CloseByCommand());
    ASSERT_TRUE(capture.Valid());

    // Half an inch in from the top left, an inch narrower than the screen,
    // ten text lines high under the caption and the menu bar.
    ASSERT_TRUE(OnTheTestDisplay());
    EXPECT_EQ(48, rect.left);
    EXPECT_EQ(48, rect.top);
    EXPECT_EQ(928, rect.right - rect.left);
    EXPECT_EQ(199, rect.bottom - rect.top);

    EXPECT_EQ(WS_CAPTION, style & WS_CAPTION);
    EXPECT_EQ(0, style & (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX));
    if (Build().Nt)
        EXPECT_EQ(0, style & WS_SYSMENU) << "the NT build's window has a caption only";
    else
        EXPECT_EQ(WS_SYSMENU, style & WS_SYSMENU) << "the 95 build's window has a system menu";

    COLORREF background = ::GetSysColor(COLOR_WINDOW);
    int half = capture.Width() / 2;
    const int marginX = 12;  // an eighth of an inch
    const int marginY = 12;
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
