// Lights, the light model and materials: stored as sent, light positions in eye space.
#include "webgl/matrices.h"
#include "webgl/state.h"

#include <algorithm>

using namespace glsubset;

namespace {

void copy4(const GLfloat* from, float* to) { std::copy(from, from + 4, to); }

void setMaterial(Material& material, GLenum pname, const GLfloat* params) {
    switch (pname) {
    case GL_AMBIENT:
        copy4(params, material.ambient);
        break;
    case GL_DIFFUSE:
        copy4(params, material.diffuse);
        break;
    case GL_SPECULAR:
        copy4(params, material.specular);
        break;
    case GL_EMISSION:
        copy4(params, material.emission);
        break;
    case GL_AMBIENT_AND_DIFFUSE:
        copy4(params, material.ambient);
        copy4(params, material.diffuse);
        break;
    case GL_SHININESS:
        if (params[0] >= 0 && params[0] <= 128) material.shininess = params[0];
        break;
    default:
        break;
    }
}

}  // namespace

extern "C" {

void glLightfv(GLenum light, GLenum pname, const GLfloat* params) {
    if (light < GL_LIGHT0 || light >= GL_LIGHT0 + maxLights) return;
    Light& target = state().lights[light - GL_LIGHT0];
    switch (pname) {
    case GL_AMBIENT:
        copy4(params, target.ambient);
        break;
    case GL_DIFFUSE:
        copy4(params, target.diffuse);
        break;
    case GL_SPECULAR:
        copy4(params, target.specular);
        break;
    case GL_POSITION:
        // Fixed in eye space by the modelview of this moment, as OpenGL does.
        transform(state().modelview.levels[state().modelview.top], params, target.direction);
        break;
    default:
        break;
    }
}

void glLightModeli(GLenum pname, GLint param) {
    if (pname == GL_LIGHT_MODEL_TWO_SIDE) state().twoSided = param != 0;
}

void glMaterialfv(GLenum face, GLenum pname, const GLfloat* params) {
    if (face == GL_FRONT || face == GL_FRONT_AND_BACK) setMaterial(state().materials[front], pname, params);
    if (face == GL_BACK || face == GL_FRONT_AND_BACK) setMaterial(state().materials[back], pname, params);
}

void glMaterialf(GLenum face, GLenum pname, GLfloat param) {
    if (pname == GL_SHININESS) glMaterialfv(face, pname, &param);
}
}
