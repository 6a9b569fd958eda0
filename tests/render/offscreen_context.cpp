// Mesa's offscreen renderer as the frame's target; the buffer swap just finishes the frame.
#include "tests/render/offscreen_context.h"

#include "platform/win32.h"

#include <GL/osmesa.h>

#include <cstdlib>

OffscreenContext::OffscreenContext(int width, int height)
    : width_(width), height_(height), buffer_(size_t(width) * height * 4) {
    OSMesaContext context = OSMesaCreateContextExt(OSMESA_RGBA, 16, 0, 0, nullptr);
    if (context && OSMesaMakeCurrent(context, buffer_.data(), GL_UNSIGNED_BYTE, width, height)) {
        context_ = context;
    } else if (context) {
        OSMesaDestroyContext(context);
    }
}

OffscreenContext::~OffscreenContext() {
    if (context_) OSMesaDestroyContext(static_cast<OSMesaContext>(context_));
}

Pixel OffscreenContext::at(int x, int y) const {
    // OSMesa keeps rows bottom-up, as OpenGL counts them.
    const unsigned char* p = &buffer_[(size_t(height_ - 1 - y) * width_ + x) * 4];
    return {p[0], p[1], p[2]};
}

// The frame's buffer swap: offscreen there is nothing to show, so just finish drawing.
extern "C" BOOL WINAPI SwapBuffers(HDC) {
    glFinish();
    return TRUE;
}
