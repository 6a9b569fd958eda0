// Sorts a batch's triangles into filled ones and outlines. Which side a triangle shows is the sign
// of its area in normalised device coordinates (the viewport's positive scales keep it), worked
// out here so that WebGL may receive the corners in any order.
//
// NOTE: models often hold a surface twice, one copy per side with opposite windings, in the same
// place. OpenGL gives both copies the same depth at every pixel, so with GL_LESS the first one
// drawn shows. WebGL rasterisers interpolate depth a little differently with the corners in
// another order, and the two copies then speckle. Every triangle and edge is therefore handed
// over with its corners in one order fixed by their positions, which gives equal copies equal
// depths. It also means that the second copy can never pass the depth test: where the first one
// was drawn the depth buffer holds its depth or a nearer one, and where it was rejected a nearer
// one already. Such repeats are left out, which halves what WebGL has to do for those models.
#include "webgl/assembly.h"

#include "webgl/matrices.h"

#include <algorithm>
#include <cstring>
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

Shape shapeOf(const Vertex* const* corners, int count) {
    Shape shape = {};
    for (int k = 0; k < count; ++k) std::memcpy(&shape[3 * k], corners[k]->position, sizeof(float) * 3);
    return shape;
}

// Hands over the corners in their order unless the depth test would reject them as a repeat.
void add(const Vertex* const* corners, int count, bool front, bool depthTest, std::set<Shape>& drawn,
         std::vector<DeviceVertex>& out) {
    if (depthTest && !drawn.insert(shapeOf(corners, count)).second) return;
    for (int k = 0; k < count; ++k) out.push_back(deviceVertex(*corners[k], front));
}

void addEdges(const Vertex corners[3], bool front, bool depthTest, Assembly& out) {
    for (int k = 0; k < 3; ++k) {
        const Vertex* edge[2] = {&corners[k], &corners[(k + 1) % 3]};
        if (positionBefore(edge[1], edge[0])) std::swap(edge[0], edge[1]);
        add(edge, 2, front, depthTest, out.drawnEdges, out.lines);
    }
}

void addTriangle(const Vertex corners[3], bool front, bool depthTest, Assembly& out) {
    const Vertex* sorted[3] = {&corners[0], &corners[1], &corners[2]};
    std::sort(sorted, sorted + 3, positionBefore);
    add(sorted, 3, front, depthTest, out.drawnTriangles, out.triangles);
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
    out.drawnTriangles.clear();
    out.drawnEdges.clear();
    const size_t whole = s.batch.size() / 3 * 3;
    const Matrix& modelview = s.modelview.levels[s.modelview.top];
    const Matrix& projection = s.projection.levels[s.projection.top];
    for (size_t i = 0; i < whole; i += 3) {
        const Vertex* corners = &s.batch[i];
        bool front = facesFront(modelview, projection, corners);
        GLenum mode = s.polygonModes[front ? Face::front : Face::back];
        if (mode == GL_FILL)
            addTriangle(corners, front, s.depthTest, out);
        else if (mode == GL_LINE)
            addEdges(corners, front, s.depthTest, out);
    }
}

}  // namespace glsubset
