// The web build's OpenGL subset where pictures cannot tell, run under Node (no WebGL there, so
// drawing does nothing): the model's rotation, kept by multiplying in each frame's step and read
// back with glGetFloatv, must be Mesa's to the bit; a batch sent again with a corner moved must be
// drawn moved (the viewer's own batch never changes).
#include "scene/scene.h"
#include "scene/viewer_state.h"
#include "webgl/assembly.h"

#include <cstdio>
#include <cstring>

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

}  // namespace

int main() {
    initScene();  // the rotation starts at the identity
    for (const Steps& s : steps) {
        spinAngle = s.angle;
        spinAxis = s.axis;
        for (int i = 0; i < s.times; ++i) accumulateRotation();
    }
    glsubset::Assembly assembly = {};
    for (float x : {0.0f, 1.0f}) {
        glBegin(GL_TRIANGLES);
        for (float y : {0.0f, 1.0f, 2.0f}) glVertex3f(y == 0 ? x : 0, y, 0);
        glEnd();
        glsubset::assemble(glsubset::state(), assembly);
    }
    const bool moved = assembly.triangles[0].position[0] == 1,
               mesas = !std::memcmp(rotationMatrix, mesa, sizeof mesa);
    if (!mesas) std::printf("the rotation after the steps is not Mesa's\n");
    if (!moved) std::printf("a batch sent again with a corner moved is drawn as before\n");
    return mesas && moved ? 0 : 1;
}
