// Switches, polygon modes, the clear colour and line width, kept in the state; glClear goes
// straight to WebGL.
#include "webgl/device.h"
#include "webgl/state.h"

using namespace glsubset;

namespace {

void setCapability(GLenum cap, bool on) {
    State& s = state();
    if (cap >= GL_LIGHT0 && cap < GL_LIGHT0 + maxLights) s.lights[cap - GL_LIGHT0].enabled = on;
    if (cap == GL_LIGHTING) s.lighting = on;
    if (cap == GL_FOG) s.fog = on;
    if (cap == GL_DEPTH_TEST) s.depthTest = on;
}

}  // namespace

extern "C" {

void glEnable(GLenum cap) { setCapability(cap, true); }

void glDisable(GLenum cap) { setCapability(cap, false); }

void glPolygonMode(GLenum face, GLenum mode) {
    if (mode != GL_POINT && mode != GL_LINE && mode != GL_FILL) return;
    if (face == GL_FRONT || face == GL_FRONT_AND_BACK) state().polygonModes[front] = mode;
    if (face == GL_BACK || face == GL_FRONT_AND_BACK) state().polygonModes[back] = mode;
}

void glClearColor(GLclampf red, GLclampf green, GLclampf blue, GLclampf alpha) {
    const float colour[4] = {red, green, blue, alpha};
    for (int i = 0; i < 4; ++i) state().clearColour[i] = colour[i] < 0 ? 0 : colour[i] > 1 ? 1 : colour[i];
}

void glClear(GLbitfield mask) {
    deviceClear(state().clearColour, mask & GL_COLOR_BUFFER_BIT, mask & GL_DEPTH_BUFFER_BIT);
}

void glLineWidth(GLfloat width) {
    if (width > 0) state().lineWidth = width;
}

// WebGL hands a page's commands over when its script yields, and the page shows nothing before
// that: flushing earlier only adds a message to the GPU process every frame.
void glFlush(void) {}
}
