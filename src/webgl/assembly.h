// Turns a glBegin/glEnd batch of triangles into what WebGL draws: filled triangles, and the
// edges of the triangles whose showing side is in GL_LINE mode.
#pragma once

#include "webgl/device.h"
#include "webgl/state.h"

#include <array>
#include <cstdint>
#include <vector>

namespace glsubset {

// The bits of a triangle's corner positions in ascending order, or an edge's two (the last three
// zero): equal for the same triangle or edge whatever the order of its corners.
using Shape = std::array<uint32_t, 9>;

// Which earlier triangles or edges of the batch have the same shape. Kept between batches, so
// that its vectors are allocated only when a batch grows.
struct Repeats {
    std::vector<Shape> shapes;
    std::vector<uint32_t> first;  // per shape: the first one in the batch with the same shape
    std::vector<uint32_t> table;  // an open-addressed hash table of the shapes, by number + 1
    std::vector<bool> drawn;      // per first: whether one of that shape is drawn in this batch
};

struct Assembly {
    std::vector<DeviceVertex> triangles;
    std::vector<DeviceVertex> lines;
    uint32_t version;       // changes with what triangles and lines hold
    uint32_t batchVersion;  // of the batch they were made from
    Repeats repeatedTriangles;
    Repeats repeatedEdges;
    bool edgesFound;  // repeatedEdges is of the batch
    bool allFilled;   // what triangles was made for: both sides filled, the depth test
    bool depthTestUsed;
};

// Whether the triangle is wound counter-clockwise in the window, OpenGL's front face.
bool facesFront(const Matrix& modelview, const Matrix& projection, const Vertex corners[3]);

// The batch's whole triangles (a trailing part triangle is dropped), each either filled or
// outlined by the polygon mode of the side it shows; GL_POINT sides are not drawn. With the depth
// test on, a triangle or edge that repeats one already drawn in the batch (the same corners, in
// any order) is left out: it has the same depth at every pixel, so GL_LESS would reject all of it.
// Triangles keep their corners' order, so that with both sides filled the rasteriser tells the
// side each shows, and nothing depends on the matrices: a batch as the last one, under the same
// switches, is left as it was.
void assemble(const State& s, Assembly& out);

}  // namespace glsubset
