// The pixel format: asks for a double-buffered RGBA window format with OpenGL support, 8 colour
// bits and 16 depth bits, and takes whatever the platform finds closest.
#include "gl/pixel_format.h"

#include <cstdlib>

namespace {

const BYTE requestedColourBits = 8;
const BYTE requestedDepthBits = 16;

// The process cannot draw without a pixel format, so this is fatal: a modal box, then exit(1)
// so the run-time library's exit handlers still run.
[[noreturn]] void failPixelFormat(HDC dc, const char* text) {
    MessageBoxA(WindowFromDC(dc), text, "Error", MB_ICONERROR | MB_OK);
    std::exit(1);
}

}  // namespace

void setupPixelFormat(HDC dc) {
    // Every field left at 0 means no preference, so a true-colour display gets a deeper format
    // and a 256-colour display a palette format.
    PIXELFORMATDESCRIPTOR descriptor = {};
    descriptor.nSize = sizeof(PIXELFORMATDESCRIPTOR);
    descriptor.nVersion = 1;
    descriptor.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
    descriptor.iPixelType = PFD_TYPE_RGBA;
    descriptor.cColorBits = requestedColourBits;
    descriptor.cDepthBits = requestedDepthBits;
    descriptor.iLayerType = PFD_MAIN_PLANE;

    const int format = ChoosePixelFormat(dc, &descriptor);
    if (format == 0) failPixelFormat(dc, "ChoosePixelFormat failed\n");
    if (SetPixelFormat(dc, format, &descriptor) != TRUE) failPixelFormat(dc, "SetPixelFormat failed");
}
