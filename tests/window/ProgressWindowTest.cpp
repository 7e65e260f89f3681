// TShowProg: geometry from the display metrics, its place beside the main
// window, the synchronous repaint of each text, and the gauge of the run.
#include "tests/window/InstallerFixture.h"

#include "shell/DisplayMetrics.h"

namespace {
// The progress window on the test display (96 dpi, a 16-pixel system font,
// 19-pixel caption, 3-pixel dialog frames): four inches of client area inside
// the frames, one text line and 3 pixels high.
constexpr int ExpectedWidth = 390;
constexpr int ExpectedHeight = 44;
constexpr int ClientWidth = 384;
constexpr int ClientHeight = 19;

// Pixels in a band of the client area that are not the window colour.
int InkedPixels(HWND window, int left, int right)
{
    RECT client;
    ::GetClientRect(window, &client);
    HDC dc = ::GetDC(window);
    int inked = 0;
    for (int y = client.top; y < client.bottom; ++y)
        for (int x = left; x < right && x < client.right; ++x)
            if (::GetPixel(dc, x, y) != DisplayMetrics.WindowColor) ++inked;
    ::ReleaseDC(window, dc);
    return inked;
}

int TextWidth(HWND window, const std::string& text)
{
    HDC dc = ::GetDC(window);
    SIZE size = {};
    ::GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &size);
    ::ReleaseDC(window, dc);
    return size.cx;
}

using ProgressWindowTest = InstallerTest;
}

TEST_F(ProgressWindowTest, SizeComesFromTheMetricsAndTheAnchorIsItsRightEdge)
{

    TShowProg progress(Window, 700, 5, "Geometry");
    ASSERT_TRUE(progress.Create());
    HWND handle = progress.GetHandle();
    RECT bounds;
    ::GetWindowRect(handle, &bounds);
    EXPECT_EQ(ExpectedWidth, bounds.right - bounds.left);
    EXPECT_EQ(ExpectedHeight, bounds.bottom - bounds.top);
    EXPECT_EQ(700, bounds.right);
    EXPECT_EQ(5 - ExpectedHeight / 2, bounds.top) << "centred on the anchor, not moved onto the screen";
    EXPECT_LT(bounds.top, 0);

    RECT client;
    ::GetClientRect(handle, &client);
    EXPECT_EQ(ClientWidth, client.right) << "four inches inside the two dialog frames";
    EXPECT_EQ(ClientHeight, client.bottom);

    EXPECT_TRUE(::IsWindowVisible(handle)) << "shown as soon as it exists";
    EXPECT_EQ(Window->GetHandle(), ::GetWindow(handle, GW_OWNER));
    LONG style = ::GetWindowLongA(handle, GWL_STYLE) & ~WS_CLIPSIBLINGS;
    EXPECT_EQ(static_cast<LONG>(WS_POPUP | WS_VISIBLE | WS_CAPTION), style);
    EXPECT_STREQ("", progress.GetText());
    progress.Destroy();
}

TEST_F(ProgressWindowTest, ExpanderAnchorsItAtTheTopRightOfTheClientArea)
{
    // A main window so high up that the progress window reaches above the screen.
    ::SetWindowPos(Window->GetHandle(), nullptr, 48, -30, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    RECT client;
    ::GetClientRect(Window->GetHandle(), &client);
    POINT anchor = {client.right, client.top};
    ::ClientToScreen(Window->GetHandle(), &anchor);
    ASSERT_LT(anchor.y, ExpectedHeight / 2);

    std::string source = Folder("source");
    ASSERT_TRUE(WriteFileBytes(Join(source, "disk_2a.lst"), ListText({"0"})));
    LONG lastResult = 0;
    EXPECT_TRUE(Window->ExpandListFile("disk_2a.lst", Scratch.c_str(), source.c_str(), "Installing Crane Rain Files",
                                       lastResult));
    ASSERT_FALSE(Progress.Frames().empty());
    const ProgressFrame& frame = Progress.Frames().front();
    EXPECT_EQ("Installing Crane Rain Files", frame.Caption);
    EXPECT_EQ(anchor.x, frame.Bounds.right);
    EXPECT_EQ(anchor.y - ExpectedHeight / 2, frame.Bounds.top);
    EXPECT_LT(frame.Bounds.top, 0);
    EXPECT_EQ(ExpectedWidth, frame.Bounds.right - frame.Bounds.left);
}

TEST_F(ProgressWindowTest, ShorterTextLeavesNoTraceOfTheLongerOne)
{
    TShowProg progress(Window, 900, 300, "Installing Lookup Files");
    ASSERT_TRUE(progress.Create());
    HWND handle = progress.GetHandle();
    const std::string longer = "Expanding WWWWWWWWWWWWWWWWWWWW.TB_ . . .";
    const std::string shorter = "Reading x . . .";
    const int textX = DisplayMetrics.CharWidth;
    const int shortEnd = textX + TextWidth(handle, shorter);
    const int longEnd = textX + TextWidth(handle, longer);
    ASSERT_GT(longEnd, shortEnd + 20);

    // Checked right after each SetText, with no message dispatched between:
    // the repaint happens inside the call.
    progress.SetText(longer.c_str());
    EXPECT_GT(InkedPixels(handle, shortEnd + 2, longEnd), 0) << "the longer text was not painted";
    progress.SetText(shorter.c_str());
    EXPECT_GT(InkedPixels(handle, 0, shortEnd), 0) << "the shorter text was not painted";
    EXPECT_EQ(0, InkedPixels(handle, shortEnd + 2, ClientWidth)) << "the longer text shows through";
    EXPECT_STREQ(shorter.c_str(), progress.GetText());
    progress.Destroy();
}

TEST_F(ProgressWindowTest, GaugeShowsTheRunsPercentInAFramedTrackBesideTheText)
{
    TShowProg progress(Window, 900, 300, "Installing Tessaryn Program");
    ASSERT_TRUE(progress.Create());
    HWND handle = progress.GetHandle();
    progress.SetText("Expanding TSW.EX_ . . .");
    const RECT frame = progress.GetGaugeFrame();
    const RECT track = {frame.left + 1, frame.top + 1, frame.right - 1, frame.bottom - 1};
    const int trackWidth = track.right - track.left;
    ASSERT_GT(frame.left, ClientWidth / 2) << "the gauge sits right of the text";
    const COLORREF highlight = ::GetSysColor(COLOR_HIGHLIGHT);

    // (written, of, the percent shown): the start, part-way and the end.
    const struct {
        unsigned long long done, total;
        int percent;
    } rows[] = {{0, 1000, 0}, {420, 1000, 42}, {1000, 1000, 100}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.percent);
        // Checked with no message dispatched: the repaint happens inside the call.
        progress.SetShare(row.done, row.total, TShowProg::Repaint::Now);
        EXPECT_EQ(row.percent, progress.GetPercent());
        HDC dc = ::GetDC(handle);
        // The frame, the fill along the track's bottom row (below the
        // percent's digits), and the percent's ink over fill and track.
        EXPECT_EQ(::GetSysColor(COLOR_WINDOWFRAME), ::GetPixel(dc, frame.left, (frame.top + frame.bottom) / 2));
        EXPECT_EQ(::GetSysColor(COLOR_WINDOWFRAME), ::GetPixel(dc, frame.right - 1, frame.top));
        const int fill = static_cast<int>(row.done * trackWidth / row.total);
        int filled = 0;
        for (int x = track.left; x < track.right; ++x)
            if (::GetPixel(dc, x, track.bottom - 1) == highlight) ++filled;
        EXPECT_EQ(fill, filled);
        int ink = 0;
        for (int y = track.top; y < track.bottom; ++y)
            for (int x = track.left; x < track.right; ++x)
                if (::GetPixel(dc, x, y) == (x < track.left + fill ? ::GetSysColor(COLOR_HIGHLIGHTTEXT)
                                                                   : DisplayMetrics.WindowTextColor))
                    ++ink;
        EXPECT_GT(ink, 20) << "no percent drawn";
        ::ReleaseDC(handle, dc);
        EXPECT_GT(InkedPixels(handle, 0, frame.left - 2), 0) << "the text went";
    }
    progress.Destroy();
}
