// The web build's OpenGL subset where pictures cannot tell, run under Node (no WebGL there, so
// drawing does nothing): the model's rotation, kept by multiplying in each frame's step and read
// back with glGetFloatv, must be Mesa's to the bit; and the two copies of a two-sided surface must
// reach WebGL with their corners in one order, so that they get equal depths and do not speckle.
#include "scene/scene.h"
#include "scene/viewer_state.h"
#include "webgl/assembly.h"
#include "webgl/state.h"

#include <cstdio>
#include <cstring>

using namespace glsubset;

namespace {

struct Steps {
    float angle;
    Vec3 axis;
    int times;
};

// The rotation after these steps as Mesa's fixed-function pipeline (OSMesa) leaves it.
const Steps steps[] = {{2, {0.3f, 0.2f, 0.4f}, 1000},
                       {127.279221f, {-0.650791407f, -0.759256601f, 0}, 10},
                       {37.5f, {0, 1, 0}, 5},
                       {90, {0, 0, -2}, 3}};
// clang-format off
const float mesa[16] = {
    0x1.c20bdp-2f, -0x1.e2c0ccp-3f, 0x1.bbc856p-1f, 0,
    -0x1.eb9d44p-2f, 0x1.82016ep-1f, 0x1.cb3a4ep-2f, 0,
    -0x1.84b32p-1f, -0x1.39f8acp-1f, 0x1.bed43ep-3f, 0,
    0, 0, 0, 1,
};
// clang-format on

bool rotationIsMesas() {
    initScene();  // the rotation starts at the identity
    spinning = 1;
    for (const Steps& s : steps) {
        spinAngle = s.angle;
        spinAxis = s.axis;
        for (int i = 0; i < s.times; ++i) accumulateRotation();
    }
    return std::memcmp(rotationMatrix, mesa, sizeof mesa) == 0;
}

bool copiesShareOneCornerOrder() {
    resetState();
    const float c[3][3] = {{0.5f, 2, 1}, {-1, 0, 3}, {2, -1, 0}};
    glBegin(GL_TRIANGLES);
    for (int i : {0, 1, 2, 2, 1, 0}) glVertex3f(c[i][0], c[i][1], c[i][2]);
    Assembly a;
    assemble(state(), a);
    glEnd();
    if (a.triangles.size() != 6 || a.triangles[0].facesFront == a.triangles[3].facesFront) return false;
    for (int k = 0; k < 3; ++k)
        if (std::memcmp(a.triangles[k].position, a.triangles[k + 3].position, sizeof a.triangles[k].position))
            return false;
    return true;
}

}  // namespace

int main() {
    const bool rotation = rotationIsMesas(), copies = copiesShareOneCornerOrder();
    if (!rotation) std::printf("the rotation after the steps is not Mesa's\n");
    if (!copies)
        std::printf("the copies of a surface reach WebGL in other corner orders, or show one side\n");
    return rotation && copies ? 0 : 1;
}
