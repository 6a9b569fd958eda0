// OpenGL's initial state and the process's one copy of it.
#include "webgl/state.h"

namespace glsubset {

namespace {

void setColour(float* target, float r, float g, float b, float a) {
    target[0] = r;
    target[1] = g;
    target[2] = b;
    target[3] = a;
}

void resetStack(MatrixStack& stack) {
    stack.top = 0;
    topOf(stack) = identityMatrix;
}

// Light 0 is white; the others give no diffuse or specular light until told to.
void resetLight(Light& light, int index) {
    float level = index == 0 ? 1.0f : 0.0f;
    setColour(light.ambient, 0, 0, 0, 1);
    setColour(light.diffuse, level, level, level, 1);
    setColour(light.specular, level, level, level, 1);
    setColour(light.direction, 0, 0, 1, 0);
    light.enabled = false;
}

void resetMaterial(Material& material) {
    setColour(material.ambient, 0.2f, 0.2f, 0.2f, 1);
    setColour(material.diffuse, 0.8f, 0.8f, 0.8f, 1);
    setColour(material.specular, 0, 0, 0, 1);
    setColour(material.emission, 0, 0, 0, 1);
    material.shininess = 0;
}

State freshState() {
    State s;
    resetStack(s.modelview);
    resetStack(s.projection);
    s.matrixMode = GL_MODELVIEW;
    for (int i = 0; i < maxLights; ++i) resetLight(s.lights[i], i);
    setColour(s.modelAmbient, 0.2f, 0.2f, 0.2f, 1);
    s.twoSided = false;
    for (Material& material : s.materials) resetMaterial(material);
    s.fogMode = GL_EXP;
    s.fogDensity = 1;
    s.fogStart = 0;
    s.fogEnd = 1;
    setColour(s.fogColour, 0, 0, 0, 0);
    s.lighting = false;
    s.fog = false;
    s.depthTest = false;
    s.polygonModes[front] = s.polygonModes[back] = GL_FILL;
    setColour(s.clearColour, 0, 0, 0, 0);
    s.lineWidth = 1;
    s.normal[0] = s.normal[1] = 0;
    s.normal[2] = 1;
    s.inBatch = false;
    s.batchMode = GL_TRIANGLES;
    s.batch = nullptr;
    s.batchSize = s.batchHeld = s.batchRoom = 0;
    s.batchChanged = false;
    s.batchVersion = 1;
    return s;
}

}  // namespace

State processState = freshState();

Matrix& currentMatrix() {
    return topOf(state().matrixMode == GL_PROJECTION ? state().projection : state().modelview);
}

}  // namespace glsubset
