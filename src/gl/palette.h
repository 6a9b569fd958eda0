// The logical palette for palette (typically 256-colour) displays.
#pragma once

#include "platform/win32.h"

// Builds, selects and realises a palette matching the pixel format in use on dc, if that format
// needs one; otherwise hPalette stays null.
void setupPalette(HDC dc);

// Realises hPalette again after the system palette changed, and asks for a frame.
void realizePalette();
