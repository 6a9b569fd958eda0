// What one draw hands the shader: the matrices, the lighting worked out per light and side the
// way fixed-function OpenGL does it on the CPU, and the fog. Plain numbers, no WebGL.
#pragma once

#include "webgl/state.h"

namespace glsubset {

// Fog modes as the shader numbers them.
enum ShaderFog { fogOff = 0, fogLinear = 1, fogExp = 2, fogExp2 = 3, fogModes = 4 };

struct DrawInputs {
    float modelview[16];
    float projection[16];
    float normalMatrix[9];

    int lighting;  // 0: every vertex takes the current colour
    int twoSided;
    int lightCount;                         // the enabled lights, packed first
    float direction[maxLights][3];          // unit vector towards the light, eye space
    float halfVector[maxLights][3];         // unit half vector for a viewer at infinity
    float sceneColour[2][4];                // per side: emission + model ambient * material ambient
    float ambientProduct[2][maxLights][3];  // per side and light: light colour * material colour
    float diffuseProduct[2][maxLights][3];
    float specularProduct[2][maxLights][3];
    float shininess[2];
    float currentColour[4];

    int fogMode;  // ShaderFog
    float fogDensity;
    float fogStart;
    float fogEnd;
    float fogColour[4];

    int depthTest;
    float lineWidth;
    int sideGiven;  // the vertices bring the side shown; otherwise the rasteriser tells it
};

DrawInputs drawInputs(const State& s);

}  // namespace glsubset
