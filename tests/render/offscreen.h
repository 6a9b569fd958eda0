// Mesa's offscreen renderer (OSMesa) as the current OpenGL context, a square of a given side with
// the scene set up for it; frame() draws one frame and reads it back as a person would see it.
// The buffer swap (offscreen.cpp) only finishes the frame.
#pragma once

#include "scene/scene.h"
#include "scene/viewer_state.h"
#include "tests/support/picture.h"

#include <GL/osmesa.h>

// How far a matrix is from a pure rotation: the root of the summed squared errors of its 3x3
// part's rows against unit, orthogonal vectors and of its last row and column against (0, 0, 0, 1).
double rotationError(const float matrix[16]);

class Offscreen {
public:
    explicit Offscreen(int side) : side_(side), buffer_(size_t(side) * side * 4) {
        made_ =
            context_ != nullptr && OSMesaMakeCurrent(context_, buffer_.data(), GL_UNSIGNED_BYTE, side, side);
        if (made_) windowWidth = windowHeight = side, initScene();
    }
    ~Offscreen() { OSMesaDestroyContext(context_); }
    bool ok() const { return made_; }
    e2e::Image frame() {  // OSMesa keeps rows bottom-up, as OpenGL counts them
        renderFrame();
        e2e::Image image{side_, side_, {}};
        for (int y = side_ - 1; y >= 0; --y)
            for (int x = 0; x < side_; ++x)
                image.pixels.push_back({buffer_[(size_t(y) * side_ + x) * 4],
                                        buffer_[(size_t(y) * side_ + x) * 4 + 1],
                                        buffer_[(size_t(y) * side_ + x) * 4 + 2]});
        return image;
    }

private:
    int side_;
    bool made_;
    std::vector<unsigned char> buffer_;
    OSMesaContext context_ = OSMesaCreateContextExt(OSMESA_RGBA, 16, 0, 0, nullptr);
};
