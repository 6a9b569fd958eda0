// Mesa's offscreen renderer (OSMesa) as the current OpenGL context, a square of a given side with
// the scene set up for it; frame() draws one frame and reads it back as a person would see it.
// The buffer swap (offscreen.cpp) only finishes the frame.
#pragma once

#include "platform/opengl.h"
#include "tests/support/picture.h"

#include <GL/osmesa.h>

// How far a matrix is from a pure rotation: the root of the summed squared errors of its 3x3
// part's rows against unit, orthogonal vectors and of its last row and column against (0, 0, 0, 1).
double rotationError(const float matrix[16]);

class Offscreen {
public:
    explicit Offscreen(int side);
    ~Offscreen();
    bool ok() const { return made_; }
    e2e::Image frame();

private:
    int side_;
    bool made_;
    std::vector<unsigned char> buffer_;
    OSMesaContext context_;
};
