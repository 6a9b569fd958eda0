// Works out a draw's shader inputs from the state. Products of light and material colours, the
// light directions and half vectors are formed here in float, once per draw, as Mesa forms them
// before its vertex stage runs; the shader only sums per vertex.
#include "webgl/draw_inputs.h"

#include "webgl/matrices.h"

#include <cmath>
#include <cstring>

namespace glsubset {

namespace {

void normalise3(float v[3]) {
    float length = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
    if (length == 0) return;
    for (int i = 0; i < 3; ++i) v[i] /= length;
}

void product3(const float* a, const float* b, float out[3]) {
    for (int i = 0; i < 3; ++i) out[i] = a[i] * b[i];
}

// The light's unit direction and the half vector between it and the viewer's (0, 0, 1).
void setLightDirection(const Light& light, DrawInputs& in, int slot) {
    float* direction = in.direction[slot];
    std::memcpy(direction, light.direction, sizeof(float) * 3);
    normalise3(direction);
    float* half = in.halfVector[slot];
    half[0] = direction[0];
    half[1] = direction[1];
    half[2] = direction[2] + 1.0f;
    normalise3(half);
}

void setLightProducts(const Light& light, const Material materials[2], DrawInputs& in, int slot) {
    for (int side = 0; side < 2; ++side) {
        product3(light.ambient, materials[side].ambient, in.ambientProduct[side][slot]);
        product3(light.diffuse, materials[side].diffuse, in.diffuseProduct[side][slot]);
        product3(light.specular, materials[side].specular, in.specularProduct[side][slot]);
    }
}

void setMaterialInputs(const State& s, DrawInputs& in) {
    for (int side = 0; side < 2; ++side) {
        const Material& material = s.materials[side];
        for (int i = 0; i < 3; ++i)
            in.sceneColour[side][i] = material.emission[i] + s.modelAmbient[i] * material.ambient[i];
        in.sceneColour[side][3] = material.diffuse[3];  // a lit vertex's alpha is the diffuse alpha
        in.shininess[side] = material.shininess;
    }
}

void setLighting(const State& s, DrawInputs& in) {
    in.lighting = s.lighting;
    in.twoSided = s.twoSided;
    in.lightCount = 0;
    for (const Light& light : s.lights) {
        if (!light.enabled) continue;
        setLightDirection(light, in, in.lightCount);
        setLightProducts(light, s.materials, in, in.lightCount);
        ++in.lightCount;
    }
    setMaterialInputs(s, in);
    for (float& c : in.currentColour) c = 1.0f;
}

int shaderFog(const State& s) {
    if (!s.fog) return fogOff;
    if (s.fogMode == GL_LINEAR) return fogLinear;
    return s.fogMode == GL_EXP2 ? fogExp2 : fogExp;
}

}  // namespace

DrawInputs drawInputs(const State& s) {
    DrawInputs in = {};
    const Matrix& modelview = topOf(s.modelview);
    std::memcpy(in.modelview, modelview.m, sizeof in.modelview);
    std::memcpy(in.projection, topOf(s.projection).m, sizeof in.projection);
    normalMatrix(modelview, in.normalMatrix);
    setLighting(s, in);
    in.fogMode = shaderFog(s);
    in.fogDensity = s.fogDensity;
    in.fogStart = s.fogStart;
    in.fogEnd = s.fogEnd;
    std::memcpy(in.fogColour, s.fogColour, sizeof in.fogColour);
    in.depthTest = s.depthTest;
    in.lineWidth = s.lineWidth;
    return in;
}

}  // namespace glsubset
