// The fog parameters, stored as sent; the shader applies them.
#include "webgl/state.h"

using namespace glsubset;

extern "C" {

void glFogf(GLenum pname, GLfloat param) {
    State& s = state();
    switch (pname) {
    case GL_FOG_MODE:
        if (param == GL_EXP || param == GL_EXP2 || param == GL_LINEAR) s.fogMode = GLenum(param);
        break;
    case GL_FOG_DENSITY:
        if (param >= 0) s.fogDensity = param;
        break;
    case GL_FOG_START:
        s.fogStart = param;
        break;
    case GL_FOG_END:
        s.fogEnd = param;
        break;
    default:
        break;
    }
}

void glFogi(GLenum pname, GLint param) { glFogf(pname, GLfloat(param)); }

void glFogfv(GLenum pname, const GLfloat* params) {
    if (pname != GL_FOG_COLOR) {
        glFogf(pname, params[0]);
        return;
    }
    for (int i = 0; i < 4; ++i) state().fogColour[i] = params[i];
}
}
