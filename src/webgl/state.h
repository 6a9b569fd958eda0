// The OpenGL state the subset keeps in C++ (matrices, lights, materials, fog, switches, the
// current normal and the batch being gathered), one set for the process.
#pragma once

#include <GL/gl.h>

#include <cstddef>
#include <cstdint>

namespace glsubset {

const int maxLights = 8;
const int matrixStackDepth = 32;

// Column-major, as OpenGL stores matrices.
struct Matrix {
    float m[16];
};

const Matrix identityMatrix = {{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}};

struct MatrixStack {
    Matrix levels[matrixStackDepth];
    int top;
};

// The matrix on top of a stack, the one its calls change and drawing uses.
inline Matrix& topOf(MatrixStack& stack) { return stack.levels[stack.top]; }
inline const Matrix& topOf(const MatrixStack& stack) { return stack.levels[stack.top]; }

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
    // The corners of the batch being gathered (batchSize so far) and of the last one (the first
    // batchHeld): a batch overwrites the one before in place and notes whether any corner
    // differs, so that a batch sent again unchanged (a program's every frame) need not be
    // assembled again. The memory comes from realloc: where the program sleeps by Asyncify, a
    // function that can reach a call through a pointer (as std::vector's growth does, in
    // operator new) is rewritten to be able to sleep and runs slower, glVertex3f among them.
    Vertex* batch;
    size_t batchSize;
    size_t batchHeld;
    size_t batchRoom;
    bool batchChanged;      // a corner of this batch differed from the one held
    uint32_t batchVersion;  // changes whenever the corners held do
};

// The process's state, with OpenGL's initial values until a call changes them (a global rather
// than a function's static: glVertex3f and glNormal3f reach it with no call and no guard).
extern State processState;
inline State& state() { return processState; }

// The top of the stack glMatrixMode selected.
Matrix& currentMatrix();

}  // namespace glsubset
