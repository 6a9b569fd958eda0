// The program's OpenGL 1.1 header: the platform header first, then <GL/gl.h>.
// NOTE: Windows' <GL/gl.h> declares its functions with WINGDIAPI and APIENTRY, which only
// <windows.h> defines, so on Windows it does not compile unless the platform header came first.
#pragma once

#include "platform/win32.h"

#include <GL/gl.h>
