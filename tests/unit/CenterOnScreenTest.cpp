#include "shell/CenterOnScreen.h"

#include <gtest/gtest.h>

TEST(CenteredPosition, TruncatesEachHalfTowardZero)
{
    POINT p = CenteredPosition(300, 200, 640, 480);
    EXPECT_EQ(170, p.x);
    EXPECT_EQ(140, p.y);
    p = CenteredPosition(701, 200, 640, 480);
    EXPECT_EQ(-30, p.x);
    EXPECT_EQ(140, p.y);
    p = CenteredPosition(301, 483, 640, 480);
    EXPECT_EQ(169, p.x);
    EXPECT_EQ(-1, p.y);
}

TEST(CenterOnScreen, MovesTheWindowKeepingItsSize)
{
    HWND window = ::CreateWindowExA(0, "STATIC", "centre me", WS_POPUP, 5, 7, 301, 203, nullptr, nullptr,
                                    ::GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(nullptr, window);
    EXPECT_NE(0, CenterOnScreen(window));
    RECT rect;
    ::GetWindowRect(window, &rect);
    // The test display is 1024x768.
    ASSERT_EQ(1024, ::GetSystemMetrics(SM_CXSCREEN));
    ASSERT_EQ(768, ::GetSystemMetrics(SM_CYSCREEN));
    EXPECT_EQ(361, rect.left);
    EXPECT_EQ(282, rect.top);
    EXPECT_EQ(301, rect.right - rect.left);
    EXPECT_EQ(203, rect.bottom - rect.top);
    ::DestroyWindow(window);
}
