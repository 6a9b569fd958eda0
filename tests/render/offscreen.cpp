// The offscreen renderer, its buffer swap (there is no second buffer, so it finishes the frame),
// and the measure of a rotation matrix that the render tests and the fuzzer share.
#include "tests/render/offscreen.h"

#include "scene/scene.h"
#include "scene/viewer_state.h"

#include <cmath>

Offscreen::Offscreen(int side)
    : side_(side),
      buffer_(size_t(side) * side * 4),
      context_(OSMesaCreateContextExt(OSMESA_RGBA, 16, 0, 0, nullptr)) {
    made_ = context_ != nullptr && OSMesaMakeCurrent(context_, buffer_.data(), GL_UNSIGNED_BYTE, side, side);
    if (made_) windowWidth = windowHeight = side, initScene();
}

Offscreen::~Offscreen() { OSMesaDestroyContext(context_); }

// OSMesa keeps rows bottom-up, as OpenGL counts them.
e2e::Image Offscreen::frame() {
    renderFrame();
    e2e::Image image{side_, side_, {}};
    for (int y = side_ - 1; y >= 0; --y)
        for (const unsigned char* p = &buffer_[size_t(y) * side_ * 4];
             p < &buffer_[size_t(y + 1) * side_ * 4]; p += 4)
            image.pixels.push_back({p[0], p[1], p[2]});
    return image;
}

extern "C" BOOL WINAPI SwapBuffers(HDC) {
    glFinish();
    return TRUE;
}

double rotationError(const float matrix[16]) {
    double sum = (matrix[15] - 1.0) * (matrix[15] - 1.0);
    for (int i : {3, 7, 11, 12, 13, 14}) sum += double(matrix[i]) * matrix[i];
    for (int a = 0; a < 3; ++a)
        for (int b = 0; b < 3; ++b) {
            double dot = -(a == b);
            for (int i = 0; i < 3; ++i) dot += double(matrix[4 * a + i]) * matrix[4 * b + i];
            sum += dot * dot;
        }
    return std::sqrt(sum);  // not a number where the matrix holds one
}
