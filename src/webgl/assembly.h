// Turns a glBegin/glEnd batch of triangles into what WebGL draws: filled triangles, and the
// edges of the triangles whose showing side is in GL_LINE mode.
#pragma once

#include "webgl/device.h"
#include "webgl/state.h"

#include <vector>

namespace glsubset {

struct Assembly {
    std::vector<DeviceVertex> triangles;
    std::vector<DeviceVertex> lines;
};

// Whether the triangle is wound counter-clockwise in the window, OpenGL's front face.
bool facesFront(const Matrix& modelview, const Matrix& projection, const Vertex corners[3]);

// The batch's whole triangles (a trailing part triangle is dropped), each either filled or
// outlined by the polygon mode of the side it shows; GL_POINT sides are not drawn.
void assemble(const State& s, Assembly& out);

}  // namespace glsubset
