// glBegin/glEnd: corners are gathered in C++ with the normal current when each was sent, and
// the batch goes to WebGL at glEnd, filled triangles in one draw and outlines in another.
#include "webgl/assembly.h"
#include "webgl/draw_inputs.h"
#include "webgl/state.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

using namespace glsubset;

namespace {

uint32_t bitsOf(float value) {
    uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

// Whether the corner holds these values, to the bit (0 and -0 differ, a NaN equals itself).
bool holds(const Vertex& corner, const float position[3], const float normal[3]) {
    uint32_t differ = 0;
    for (int i = 0; i < 3; ++i) {
        differ |= bitsOf(corner.position[i]) ^ bitsOf(position[i]);
        differ |= bitsOf(corner.normal[i]) ^ bitsOf(normal[i]);
    }
    return differ == 0;
}

// Out of line, so that glVertex3f stays small where it is inlined.
[[gnu::noinline]] bool grow(State& s) {
    const size_t room = s.batchRoom ? 2 * s.batchRoom : 1024;
    void* grown = std::realloc(s.batch, room * sizeof(Vertex));
    if (!grown) return false;
    s.batch = static_cast<Vertex*>(grown);
    s.batchRoom = room;
    return true;
}

}  // namespace

extern "C" {

void glBegin(GLenum mode) {
    State& s = state();
    if (s.inBatch) return;
    s.inBatch = true;
    s.batchMode = mode;
    s.batchSize = 0;
}

void glEnd(void) {
    State& s = state();
    if (!s.inBatch) return;
    s.inBatch = false;
    if (s.batchChanged || s.batchSize != s.batchHeld) ++s.batchVersion;
    s.batchChanged = false;
    s.batchHeld = s.batchSize;
    if (s.batchMode != GL_TRIANGLES) return;  // the only primitive drawn
    static Assembly assembly;
    assemble(s, assembly);
    DrawInputs inputs = drawInputs(s);
    inputs.sideGiven = !assembly.allFilled;
    deviceDraw(inputs, assembly.triangles, assembly.version, false);
    deviceDraw(inputs, assembly.lines, assembly.version, true);
}

void glNormal3f(GLfloat nx, GLfloat ny, GLfloat nz) {
    float* normal = state().normal;
    normal[0] = nx;
    normal[1] = ny;
    normal[2] = nz;
}

// The corner goes where the last batch's corner of the same number is, unless it is already
// there to the bit. Inlined into its callers where the program is optimised at link time: a call
// for each corner costs more than the rest of its work.
[[gnu::always_inline]] void glVertex3f(GLfloat x, GLfloat y, GLfloat z) {
    State& s = state();
    if (!s.inBatch) return;
    const float position[3] = {x, y, z};
    if (s.batchSize < s.batchHeld) {
        Vertex& held = s.batch[s.batchSize];
        if (!holds(held, position, s.normal)) {
            held = {{x, y, z}, {s.normal[0], s.normal[1], s.normal[2]}};
            s.batchChanged = true;
        }
    } else {
        if (s.batchSize == s.batchRoom && !grow(s)) return;  // no memory: the corner is lost
        s.batch[s.batchSize] = {{x, y, z}, {s.normal[0], s.normal[1], s.normal[2]}};
        s.batchChanged = true;
    }
    ++s.batchSize;
}
}
