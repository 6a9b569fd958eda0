// Mesa's offscreen renderer as the frame's target; the buffer swap just finishes the frame.
#include "tests/render/offscreen.h"

#include "scene/scene.h"
#include "scene/viewer_state.h"

#include <GL/osmesa.h>

Offscreen::Offscreen(int side) : side_(side), buffer_(size_t(side) * side * 4) {
    OSMesaContext context = OSMesaCreateContextExt(OSMESA_RGBA, 16, 0, 0, nullptr);
    if (context != nullptr && OSMesaMakeCurrent(context, buffer_.data(), GL_UNSIGNED_BYTE, side, side)) context_ = context;
    else if (context != nullptr) OSMesaDestroyContext(context);
    windowWidth = windowHeight = side;
    if (ok()) initScene();
}

Offscreen::~Offscreen() {
    if (ok()) OSMesaDestroyContext(static_cast<OSMesaContext>(context_));
}

// OSMesa keeps rows bottom-up, as OpenGL counts them.
e2e::Image Offscreen::frame() {
    renderFrame();
    e2e::Image image{side_, side_, {}};
    for (int y = side_ - 1; y >= 0; --y)
        for (int x = 0; x < side_; ++x) {
            const unsigned char* p = &buffer_[(size_t(y) * side_ + x) * 4];
            image.pixels.push_back({p[0], p[1], p[2]});
        }
    return image;
}

extern "C" BOOL WINAPI SwapBuffers(HDC) {
    glFinish();
    return TRUE;
}
