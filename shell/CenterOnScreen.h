#pragma once
#include <windows.h>

// The top-left corner that centres a window of the given size on a screen,
// each division truncating toward zero.
POINT CenteredPosition(int windowWidth, int windowHeight, int screenWidth, int screenHeight);

// Moves the window to the centre of the screen, keeping its size and z-order.
BOOL CenterOnScreen(HWND window);
