// The one WebGL program: OpenGL 1.1's lighting per vertex in eye space for both sides, then per
// fragment the colour of the side the triangle shows (worked out on the CPU, as outlines have no
// side of their own) and the fog from the interpolated absolute eye-space z.
#include "webgl/device.h"

namespace glsubset {

const char* const vertexShaderSource = R"(#version 300 es
const int maxLights = 8;

in vec3 position;
in vec3 normal;
in float facesFront;

uniform mat4 modelview;
uniform mat4 projection;
uniform mat3 normalMatrix;
uniform bool lighting;
uniform bool twoSided;
uniform int lightCount;
uniform vec3 direction[maxLights];
uniform vec3 halfVector[maxLights];
uniform vec4 sceneColour[2];
uniform vec3 ambientProduct[2 * maxLights];
uniform vec3 diffuseProduct[2 * maxLights];
uniform vec3 specularProduct[2 * maxLights];
uniform float shininess[2];
uniform vec4 currentColour;

out vec4 frontColour;
out vec4 backColour;
out float fogDistance;
flat out float showsFront;

// The colour of one side, whose normal n points out of that side.
vec4 litColour(int side, vec3 n) {
    vec3 colour = sceneColour[side].rgb;
    for (int i = 0; i < maxLights; ++i) {
        if (i >= lightCount) break;
        int slot = side * maxLights + i;
        colour += ambientProduct[slot];
        float nDotL = dot(n, direction[i]);
        if (nDotL > 0.0) {
            colour += nDotL * diffuseProduct[slot];
            float nDotH = max(dot(n, halfVector[i]), 0.0);
            float highlight = shininess[side] == 0.0 ? 1.0 : pow(nDotH, shininess[side]);
            colour += highlight * specularProduct[slot];
        }
    }
    return clamp(vec4(colour, sceneColour[side].a), 0.0, 1.0);
}

void main() {
    vec4 eye = modelview * vec4(position, 1.0);
    gl_Position = projection * eye;
    fogDistance = abs(eye.z);
    showsFront = facesFront;
    if (!lighting) {
        frontColour = backColour = currentColour;
        return;
    }
    vec3 n = normalMatrix * normal;
    frontColour = litColour(0, n);
    backColour = twoSided ? litColour(1, -n) : frontColour;
}
)";

const char* const fragmentShaderSource = R"(#version 300 es
precision highp float;

in vec4 frontColour;
in vec4 backColour;
in float fogDistance;
flat in float showsFront;

uniform int fogMode;
uniform float fogDensity;
uniform float fogStart;
uniform float fogEnd;
uniform vec4 fogColour;

out vec4 fragmentColour;

float fogFactor() {
    if (fogMode == 1) return (fogEnd - fogDistance) / (fogEnd - fogStart);
    if (fogMode == 2) return exp(-fogDensity * fogDistance);
    float d = fogDensity * fogDistance;
    return exp(-d * d);
}

void main() {
    vec4 colour = showsFront > 0.5 ? frontColour : backColour;
    if (fogMode != 0) colour.rgb = mix(fogColour.rgb, colour.rgb, clamp(fogFactor(), 0.0, 1.0));
    fragmentColour = colour;
}
)";

}  // namespace glsubset
