// The one WebGL program: OpenGL 1.1's lighting per vertex in eye space for the side the triangle
// shows (worked out on the CPU, as outlines have no side of their own, and the same for the
// triangle's three corners), then per fragment the fog from the interpolated absolute eye-space z.
// Lighting only the shown side keeps one colour to interpolate: software renderers spend most of
// a frame per pixel.
#include "webgl/device.h"

namespace glsubset {

// After "#version 300 es" and "const int lightCount = N;" for the N enabled lights: a loop of a
// constant count over constant indices, which compilers unroll (software renderers index uniform
// arrays slowly otherwise).
const char* const vertexShaderSource = R"(
const int maxLights = 8;

in vec3 position;
in vec3 normal;
in float facesFront;

uniform mat4 modelview;
uniform mat4 projection;
uniform mat3 normalMatrix;
uniform bool lighting;
uniform bool twoSided;
uniform vec3 direction[maxLights];
uniform vec3 halfVector[maxLights];
uniform vec4 sceneColour[2];
uniform vec3 ambientProduct[2 * maxLights];
uniform vec3 diffuseProduct[2 * maxLights];
uniform vec3 specularProduct[2 * maxLights];
uniform float shininess[2];
uniform vec4 currentColour;

out vec4 colour;
out float fogDistance;

// The colour of the side shown, whose normal n points out of that side: the front's material
// (slots 0 to 7) or the back's (8 to 15), picked per term so that one pass over the lights, at
// constant indices, serves both sides.
vec4 litColour(bool front, vec3 n) {
    vec3 colour = front ? sceneColour[0].rgb : sceneColour[1].rgb;
    float exponent = front ? shininess[0] : shininess[1];
    for (int i = 0; i < lightCount; ++i) {
        colour += front ? ambientProduct[i] : ambientProduct[maxLights + i];
        float nDotL = dot(n, direction[i]);
        if (nDotL > 0.0) {
            colour += nDotL * (front ? diffuseProduct[i] : diffuseProduct[maxLights + i]);
            float nDotH = max(dot(n, halfVector[i]), 0.0);
            float highlight = exponent == 0.0 ? 1.0 : pow(nDotH, exponent);
            colour += highlight * (front ? specularProduct[i] : specularProduct[maxLights + i]);
        }
    }
    return clamp(vec4(colour, front ? sceneColour[0].a : sceneColour[1].a), 0.0, 1.0);
}

void main() {
    vec4 eye = modelview * vec4(position, 1.0);
    gl_Position = projection * eye;
    fogDistance = abs(eye.z);
    // Back faces take the back material and the reversed normal with two-sided lighting, and the
    // front's otherwise.
    bool front = facesFront > 0.5 || !twoSided;
    vec3 n = normalMatrix * normal;
    colour = lighting ? litColour(front, front ? n : -n) : currentColour;
}
)";

// After "#version 300 es" and "const int fogMode = M;" (0 none, 1 linear, 2 GL_EXP, 3 GL_EXP2):
// without fog the colour goes through untouched, with no test per pixel.
const char* const fragmentShaderSource = R"(
precision highp float;

in vec4 colour;
in float fogDistance;

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
    fragmentColour = colour;
    if (fogMode != 0) fragmentColour.rgb = mix(fogColour.rgb, colour.rgb, clamp(fogFactor(), 0.0, 1.0));
}
)";

}  // namespace glsubset
