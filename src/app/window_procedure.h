// The window procedure of the viewer's one window.
#pragma once

#include "platform/win32.h"

// Handles the window's messages; anything it does not handle gets default processing.
LRESULT CALLBACK WndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
