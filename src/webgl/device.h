// The WebGL 2 side: the one place that calls WebGL, into whatever context is current.
#pragma once

#include "webgl/draw_inputs.h"

namespace glsubset {

// A vertex as WebGL receives it: object-space position, normal, and the side its triangle shows
// (1 front, 0 back), which the rasteriser cannot tell from corners given in any order.
struct DeviceVertex {
    float position[3];
    float normal[3];
    float facesFront;
};

void deviceClear(const float colour[4], bool colourBuffer, bool depthBuffer);
void deviceDraw(const DrawInputs& inputs, const DeviceVertex* vertices, int count, bool lines);
void deviceFlush();

// The GLSL ES 3.00 sources of the program, each without its first two lines: its version, and
// the vertex shader's count of lights or the fragment shader's fog mode, which are constants in
// each of the programs made from them.
extern const char* const vertexShaderSource;
extern const char* const fragmentShaderSource;

}  // namespace glsubset
