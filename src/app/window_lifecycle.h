// What happens when the window is created and destroyed.
#pragma once

#include "platform/win32.h"

// WM_CREATE: timer, device context, pixel format, palette, rendering context, scene set-up.
void createWindowResources(HWND window);

// WM_DESTROY: releases the rendering and device contexts, removes the idle hook and posts the
// quit message with exit code 0.
void destroyWindowResources(HWND window);
