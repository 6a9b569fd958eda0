// The OpenGL state the subset keeps in C++ (matrices, lights, materials, fog, switches, the
// current normal and the batch being gathered), one set for the process.
#pragma once

#include <GL/gl.h>

#include <vector>

namespace glsubset {

const int maxLights = 8;
const int matrixStackDepth = 32;

// Column-major, as OpenGL stores matrices.
struct Matrix {
    float m[16];
};

struct MatrixStack {
    Matrix levels[matrixStackDepth];
    int top;
};

struct Light {
    float ambient[4];
    float diffuse[4];
    float specular[4];
    float direction[4];  // the eye-space position sent last; w is 0 for the directional lights drawn
    bool enabled;
};

struct Material {
    float ambient[4];
    float diffuse[4];
    float specular[4];
    float emission[4];
    float shininess;
};

enum Face { front = 0, back = 1 };

// One corner of a batch: its object-space position and the normal current when it was sent.
struct Vertex {
    float position[3];
    float normal[3];
};

struct State {
    MatrixStack modelview;
    MatrixStack projection;
    GLenum matrixMode;

    Light lights[maxLights];
    float modelAmbient[4];
    bool twoSided;
    Material materials[2];  // indexed by Face

    GLenum fogMode;
    float fogDensity;
    float fogStart;
    float fogEnd;
    float fogColour[4];

    bool lighting;
    bool fog;
    bool depthTest;
    GLenum polygonModes[2];  // indexed by Face
    float clearColour[4];
    float lineWidth;

    float normal[3];
    bool inBatch;
    GLenum batchMode;
    std::vector<Vertex> batch;
};

// The process's state, with OpenGL's initial values until a call changes them.
State& state();

// The top of the stack glMatrixMode selected.
Matrix& currentMatrix();

// The reset state of a fresh context (the tests start from it).
void resetState();

}  // namespace glsubset
