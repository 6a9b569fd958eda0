// The WebGL 2 side: the one place that calls WebGL, into whatever context is current.
#pragma once

#include "webgl/draw_inputs.h"

#include <cstdint>
#include <string>
#include <vector>

namespace glsubset {

// A vertex as WebGL receives it: object-space position, normal, and the side its triangle shows
// (1 front, 0 back) where that decided how the triangle is drawn; outlines have no side the
// rasteriser could tell.
struct DeviceVertex {
    float position[3];
    float normal[3];
    float facesFront;
};

void deviceClear(const float colour[4], bool colourBuffer, bool depthBuffer);
// Draws the vertices as triangles or lines; they go to WebGL again only when `version` is not
// the one they were last sent with.
void deviceDraw(const DrawInputs& inputs, const std::vector<DeviceVertex>& vertices, uint32_t version,
                bool lines);

// The GLSL ES 3.00 sources of the program, each after a first part of its version and the
// constants: maxLights, lightCount (the lights enabled), the fog modes (fogOff, fogLinear, fogExp,
// fogExp2) and fogMode, the one of this program.
std::string shaderConstants(int lightCount, int fogMode);
extern const char* const vertexShaderSource;
extern const char* const fragmentShaderSource;

}  // namespace glsubset
