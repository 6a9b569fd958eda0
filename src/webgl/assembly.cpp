// Sorts a batch's triangles into filled ones and outlines.
//
// NOTE: models often hold a surface twice, one copy per side with opposite windings, in the same
// place. OpenGL gives both copies the same depth at every pixel, so with GL_LESS the first one
// drawn shows, and the second can never pass the depth test: where the first one was drawn the
// depth buffer holds its depth or a nearer one, and where it was rejected a nearer one already.
// Such repeats are left out, which halves what WebGL has to do for those models, and WebGL, whose
// rasterisers interpolate depth a little differently with the corners in another order, never
// gets the chance to let the two copies speckle.
//
// With both sides filled, the rasteriser tells which side a triangle shows (gl_FrontFacing), so
// what is handed over depends on the batch alone and is made once for a batch sent unchanged.
// Otherwise the polygon mode depends on the side, which is the sign of the triangle's area in
// normalised device coordinates (the viewport's positive scales keep it), worked out here every
// time and handed over with each corner.
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

uint32_t hashOf(const Shape& shape) {
    uint32_t h = 0;
    for (uint32_t word : shape) h = (h ^ word) * 0x9E3779B1u;
    return h ^ (h >> 15);
}

// Finds the first of each shape in r.shapes.
void findRepeats(Repeats& r) {
    const size_t count = r.shapes.size();
    size_t size = 16;
    while (size < 2 * count) size *= 2;
    r.table.assign(size, 0);
    r.first.resize(count);
    for (size_t i = 0; i < count; ++i) {
        size_t slot = hashOf(r.shapes[i]) & (size - 1);
        while (r.table[slot] != 0 && r.shapes[r.table[slot] - 1] != r.shapes[i])
            slot = (slot + 1) & (size - 1);
        if (r.table[slot] == 0) r.table[slot] = uint32_t(i + 1);
        r.first[i] = r.table[slot] - 1;
    }
}

// Whether nothing of the shape of number i has been drawn yet in this batch; from now on it has.
bool firstDrawn(Repeats& r, size_t i) {
    const uint32_t first = r.first[i];
    if (r.drawn[first]) return false;
    r.drawn[first] = true;
    return true;
}

void findRepeatedTriangles(const State& s, Repeats& r) {
    r.shapes.resize(s.batchSize / 3);
    for (size_t t = 0; t < r.shapes.size(); ++t) {
        const Vertex* sorted[3] = {&s.batch[3 * t], &s.batch[3 * t + 1], &s.batch[3 * t + 2]};
        std::sort(sorted, sorted + 3, positionBefore);
        r.shapes[t] = shapeOf(sorted, 3);
    }
    findRepeats(r);
}

// Edge k of triangle t is number 3t + k, its corners k and k + 1 in ascending order.
void findRepeatedEdges(const State& s, Repeats& r) {
    r.shapes.resize(s.batchSize / 3 * 3);
    for (size_t t = 0; t < r.shapes.size(); t += 3)
        for (int k = 0; k < 3; ++k) {
            const Vertex* edge[2] = {&s.batch[t + k], &s.batch[t + (k + 1) % 3]};
            if (positionBefore(edge[1], edge[0])) std::swap(edge[0], edge[1]);
            r.shapes[t + k] = shapeOf(edge, 2);
        }
    findRepeats(r);
}

void addEdges(const State& s, size_t t, bool front, Assembly& out) {
    for (int k = 0; k < 3; ++k) {
        const Vertex* edge[2] = {&s.batch[3 * t + k], &s.batch[3 * t + (k + 1) % 3]};
        if (s.depthTest && !firstDrawn(out.repeatedEdges, 3 * t + k)) continue;
        if (positionBefore(edge[1], edge[0])) std::swap(edge[0], edge[1]);
        for (const Vertex* corner : edge) out.lines.push_back(deviceVertex(*corner, front));
    }
}

void addTriangle(const State& s, size_t t, bool front, Assembly& out) {
    for (int k = 0; k < 3; ++k) out.triangles.push_back(deviceVertex(s.batch[3 * t + k], front));
}

// Each triangle's side decides its polygon mode.
void assembleBySide(const State& s, Assembly& out) {
    const bool outlines = s.polygonModes[front] == GL_LINE || s.polygonModes[back] == GL_LINE;
    if (outlines && !out.edgesFound) findRepeatedEdges(s, out.repeatedEdges);
    out.edgesFound = out.edgesFound || outlines;
    for (Repeats* r : {&out.repeatedTriangles, &out.repeatedEdges}) r->drawn.assign(r->first.size(), false);
    const Matrix& modelview = topOf(s.modelview);
    const Matrix& projection = topOf(s.projection);
    for (size_t t = 0; t < s.batchSize / 3; ++t) {
        bool front = facesFront(modelview, projection, &s.batch[3 * t]);
        GLenum mode = s.polygonModes[front ? Face::front : Face::back];
        if (mode == GL_FILL && (!s.depthTest || firstDrawn(out.repeatedTriangles, t)))
            addTriangle(s, t, front, out);
        else if (mode == GL_LINE)
            addEdges(s, t, front, out);
    }
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
    if (out.batchVersion != s.batchVersion) {
        findRepeatedTriangles(s, out.repeatedTriangles);
        out.batchVersion = s.batchVersion;
        out.edgesFound = out.allFilled = false;
    }
    const bool allFilled = s.polygonModes[front] == GL_FILL && s.polygonModes[back] == GL_FILL;
    if (allFilled && out.allFilled && out.depthTestUsed == s.depthTest) return;
    ++out.version;
    out.triangles.clear();
    out.lines.clear();
    out.allFilled = allFilled;
    out.depthTestUsed = s.depthTest;
    if (!allFilled) return assembleBySide(s, out);
    const std::vector<uint32_t>& first = out.repeatedTriangles.first;
    for (size_t t = 0; t < first.size(); ++t)
        if (!s.depthTest || first[t] == t) addTriangle(s, t, true, out);
}

}  // namespace glsubset
