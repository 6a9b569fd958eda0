// Lights, the light model and materials: stored as sent, light positions in eye space.
#include "webgl/matrices.h"
#include "webgl/state.h"

#include <algorithm>

using namespace glsubset;

namespace {

// The colour a parameter name sets, in a light or a material (null where it sets none there).
template <typename T>
float* colourOf(T& target, GLenum pname) {
    switch (pname) {
    case GL_AMBIENT:
        return target.ambient;
    case GL_DIFFUSE:
        return target.diffuse;
    case GL_SPECULAR:
        return target.specular;
    default:
        return nullptr;
    }
}

void copy4(const GLfloat* from, float* to) { std::copy(from, from + 4, to); }

void setMaterial(Material& material, GLenum pname, const GLfloat* params) {
    if (float* colour = colourOf(material, pname)) copy4(params, colour);
    if (pname == GL_EMISSION) copy4(params, material.emission);
    if (pname == GL_AMBIENT_AND_DIFFUSE) {
        copy4(params, material.ambient);
        copy4(params, material.diffuse);
    }
    if (pname == GL_SHININESS && params[0] >= 0 && params[0] <= 128) material.shininess = params[0];
}

}  // namespace

extern "C" {

void glLightfv(GLenum light, GLenum pname, const GLfloat* params) {
    if (light < GL_LIGHT0 || light >= GL_LIGHT0 + maxLights) return;
    Light& target = state().lights[light - GL_LIGHT0];
    if (float* colour = colourOf(target, pname)) copy4(params, colour);
    // A position is fixed in eye space by the modelview of this moment, as OpenGL does.
    if (pname == GL_POSITION) transform(topOf(state().modelview), params, target.direction);
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
