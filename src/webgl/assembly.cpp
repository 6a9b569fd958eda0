// Sorts a batch's triangles into filled ones and outlines. Which side a triangle shows is the sign
// of its area in normalised device coordinates (the viewport's positive scales keep it), worked
// out here so that WebGL may receive the corners in any order.
//
// NOTE: models often hold a surface twice, one copy per side with opposite windings, in the same
// place. OpenGL gives both copies the same depth at every pixel, so with GL_LESS the first one
// drawn shows. WebGL rasterisers interpolate depth a little differently with the corners in
// another order, and the two copies then speckle. Every triangle and edge is therefore handed
// over with its corners in one order fixed by their positions, which gives equal copies equal
// depths.
#include "webgl/assembly.h"

#include "webgl/matrices.h"

#include <algorithm>
#include <utility>

namespace glsubset {

namespace {

DeviceVertex deviceVertex(const Vertex& v, bool front) {
    return {{v.position[0], v.position[1], v.position[2]},
            {v.normal[0], v.normal[1], v.normal[2]},
            front ? 1.0f : 0.0f};
}

// The window-space x and y of a corner, as projection * modelview * corner divided by w.
void deviceXY(const Matrix& modelview, const Matrix& projection, const Vertex& v, float xy[2]) {
    const float object[4] = {v.position[0], v.position[1], v.position[2], 1.0f};
    float eye[4], clip[4];
    transform(modelview, object, eye);
    transform(projection, eye, clip);
    xy[0] = clip[0] / clip[3];
    xy[1] = clip[1] / clip[3];
}

bool positionBefore(const Vertex* a, const Vertex* b) {
    const float* p = a->position;
    const float* q = b->position;
    if (p[0] != q[0]) return p[0] < q[0];
    if (p[1] != q[1]) return p[1] < q[1];
    return p[2] < q[2];
}

void addEdge(const Vertex* a, const Vertex* b, bool front, std::vector<DeviceVertex>& lines) {
    if (positionBefore(b, a)) std::swap(a, b);
    lines.push_back(deviceVertex(*a, front));
    lines.push_back(deviceVertex(*b, front));
}

void addEdges(const Vertex corners[3], bool front, std::vector<DeviceVertex>& lines) {
    for (int k = 0; k < 3; ++k) addEdge(&corners[k], &corners[(k + 1) % 3], front, lines);
}

void addTriangle(const Vertex corners[3], bool front, std::vector<DeviceVertex>& triangles) {
    const Vertex* sorted[3] = {&corners[0], &corners[1], &corners[2]};
    std::sort(sorted, sorted + 3, positionBefore);
    for (const Vertex* corner : sorted) triangles.push_back(deviceVertex(*corner, front));
}

}  // namespace

bool facesFront(const Matrix& modelview, const Matrix& projection, const Vertex corners[3]) {
    float a[2], b[2], c[2];
    deviceXY(modelview, projection, corners[0], a);
    deviceXY(modelview, projection, corners[1], b);
    deviceXY(modelview, projection, corners[2], c);
    float twiceArea = (b[0] - a[0]) * (c[1] - a[1]) - (c[0] - a[0]) * (b[1] - a[1]);
    return twiceArea > 0;
}

void assemble(const State& s, Assembly& out) {
    out.triangles.clear();
    out.lines.clear();
    const size_t whole = s.batch.size() / 3 * 3;
    const Matrix& modelview = s.modelview.levels[s.modelview.top];
    const Matrix& projection = s.projection.levels[s.projection.top];
    for (size_t i = 0; i < whole; i += 3) {
        const Vertex* corners = &s.batch[i];
        bool front = facesFront(modelview, projection, corners);
        GLenum mode = s.polygonModes[front ? Face::front : Face::back];
        if (mode == GL_FILL)
            addTriangle(corners, front, out.triangles);
        else if (mode == GL_LINE)
            addEdges(corners, front, out.lines);
    }
}

}  // namespace glsubset
