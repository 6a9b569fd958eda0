// Choosing and setting the window's OpenGL pixel format.
#pragma once

#include "platform/win32.h"

// Sets the closest double-buffered RGBA OpenGL format to the one asked for on dc. On failure it
// shows an error box owned by the DC's window and ends the process with exit code 1.
void setupPixelFormat(HDC dc);
