// Turns a glBegin/glEnd batch of triangles into what WebGL draws: filled triangles, and the
// edges of the triangles whose showing side is in GL_LINE mode.
#pragma once

#include "webgl/device.h"
#include "webgl/state.h"

#include <array>
#include <cstdint>
#include <set>
#include <vector>

namespace glsubset {

// The bits of a triangle's or an edge's corner positions in the order handed to WebGL (an edge
// leaves the last three zero).
using Shape = std::array<uint32_t, 9>;

struct Assembly {
    std::vector<DeviceVertex> triangles;
    std::vector<DeviceVertex> lines;
    // The shapes handed over so far in this batch, one set per kind.
    std::set<Shape> drawnTriangles;
    std::set<Shape> drawnEdges;
};

// Whether the triangle is wound counter-clockwise in the window, OpenGL's front face.
bool facesFront(const Matrix& modelview, const Matrix& projection, const Vertex corners[3]);

// The batch's whole triangles (a trailing part triangle is dropped), each either filled or
// outlined by the polygon mode of the side it shows; GL_POINT sides are not drawn. With the depth
// test on, a triangle or edge that repeats one already in the batch is left out: it has the same
// depth at every pixel, so GL_LESS would reject all of it.
void assemble(const State& s, Assembly& out);

}  // namespace glsubset
