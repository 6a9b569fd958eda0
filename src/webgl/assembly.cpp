// Sorts a batch's triangles into filled ones and outlines. Which side a triangle shows is only
// worked out when the two sides are drawn differently: then it is the sign of its area in
// normalised device coordinates, which the viewport's positive scales keep.
#include "webgl/assembly.h"

#include "webgl/matrices.h"

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

void addEdges(const Vertex corners[3], bool front, std::vector<DeviceVertex>& lines) {
    for (int k = 0; k < 3; ++k) {
        lines.push_back(deviceVertex(corners[k], front));
        lines.push_back(deviceVertex(corners[(k + 1) % 3], front));
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
    out.triangles.clear();
    out.lines.clear();
    const size_t whole = s.batch.size() / 3 * 3;
    const bool allFilled = s.polygonModes[front] == GL_FILL && s.polygonModes[back] == GL_FILL;
    const Matrix& modelview = s.modelview.levels[s.modelview.top];
    const Matrix& projection = s.projection.levels[s.projection.top];
    for (size_t i = 0; i < whole; i += 3) {
        const Vertex* corners = &s.batch[i];
        bool front = allFilled || facesFront(modelview, projection, corners);
        GLenum mode = s.polygonModes[front ? Face::front : Face::back];
        if (mode == GL_FILL)
            for (int k = 0; k < 3; ++k) out.triangles.push_back(deviceVertex(corners[k], front));
        else if (mode == GL_LINE)
            addEdges(corners, front, out.lines);
    }
}

}  // namespace glsubset
