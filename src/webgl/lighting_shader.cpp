// The one WebGL program: OpenGL 1.1's lighting per vertex in eye space, then per fragment the
// colour of the side shown and the fog from the interpolated absolute eye-space z. The rasteriser
// tells the side of a triangle (gl_FrontFacing) unless the vertices bring it (sideGiven:
// outlines, which have no side of their own, and triangles whose side chose their polygon mode).
#include "webgl/device.h"

namespace glsubset {

std::string shaderConstants(int lightCount, int fogMode) {
    std::string constants = "#version 300 es\n";
    auto add = [&constants](const char* name, int value) {
        constants += "const int " + std::string(name) + " = " + std::to_string(value) + ";\n";
    };
    add("maxLights", maxLights);
    add("lightCount", lightCount);
    add("fogOff", fogOff);
    add("fogLinear", fogLinear);
    add("fogExp", fogExp);
    add("fogExp2", fogExp2);
    add("fogMode", fogMode);
    return constants;
}

// The lights' loop has a constant count over constant indices, which compilers unroll (software
// renderers index uniform arrays slowly otherwise).
const char* const vertexShaderSource = R"(
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
uniform bool sideGiven;

out vec4 frontColour;
out vec4 backColour;
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
    vec3 n = normalMatrix * normal;
    if (!lighting) {
        frontColour = backColour = currentColour;
    } else if (sideGiven) {
        bool front = facesFront > 0.5 || !twoSided;
        frontColour = backColour = litColour(front, front ? n : -n);
    } else {
        frontColour = litColour(true, n);
        backColour = twoSided ? litColour(false, -n) : frontColour;
    }
}
)";

// Without fog the colour goes through untouched, with no test per pixel.
const char* const fragmentShaderSource = R"(
precision highp float;

in vec4 frontColour;
in vec4 backColour;
in float fogDistance;

uniform float fogDensity;
uniform float fogStart;
uniform float fogEnd;
uniform vec4 fogColour;

out vec4 fragmentColour;

float fogFactor() {
    if (fogMode == fogLinear) return (fogEnd - fogDistance) / (fogEnd - fogStart);
    if (fogMode == fogExp) return exp(-fogDensity * fogDistance);
    float d = fogDensity * fogDistance;
    return exp(-d * d);
}

void main() {
    vec4 colour = gl_FrontFacing ? frontColour : backColour;
    fragmentColour = colour;
    if (fogMode != fogOff) fragmentColour.rgb = mix(fogColour.rgb, colour.rgb, clamp(fogFactor(), 0.0, 1.0));
}
)";

}  // namespace glsubset
