// glBegin/glEnd: corners are gathered in C++ with the normal current when each was sent, and
// the batch goes to WebGL at glEnd, filled triangles in one draw and outlines in another.
#include "webgl/assembly.h"
#include "webgl/draw_inputs.h"
#include "webgl/state.h"

using namespace glsubset;

extern "C" {

void glBegin(GLenum mode) {
    State& s = state();
    if (s.inBatch) return;
    s.inBatch = true;
    s.batchMode = mode;
    s.batch.clear();
}

void glEnd(void) {
    State& s = state();
    if (!s.inBatch) return;
    s.inBatch = false;
    if (s.batchMode != GL_TRIANGLES) return;  // the only primitive drawn
    static Assembly assembly;
    assemble(s, assembly);
    const DrawInputs inputs = drawInputs(s);
    deviceDraw(inputs, assembly.triangles.data(), int(assembly.triangles.size()), false);
    deviceDraw(inputs, assembly.lines.data(), int(assembly.lines.size()), true);
}

void glNormal3f(GLfloat nx, GLfloat ny, GLfloat nz) {
    float* normal = state().normal;
    normal[0] = nx;
    normal[1] = ny;
    normal[2] = nz;
}

void glVertex3f(GLfloat x, GLfloat y, GLfloat z) {
    State& s = state();
    if (!s.inBatch) return;
    const float* n = s.normal;
    s.batch.push_back({{x, y, z}, {n[0], n[1], n[2]}});
}
}
