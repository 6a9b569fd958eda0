// A stand-in for the OpenGL 1.1 functions the program calls: each call is recorded with its
// arguments instead of drawn, so tests can compare the exact call sequence.
#pragma once

#include <string>
#include <vector>

struct GlCall {
    std::string name;
    std::vector<double> args;  // enums, integers and reals alike; arrays are spread out in order

    bool operator==(const GlCall& other) const { return name == other.name && args == other.args; }
};

// Every call since the last clearGlCalls, in order.
extern std::vector<GlCall> glCalls;
void clearGlCalls();

// What glGetFloatv(GL_MODELVIEW_MATRIX, ...) reports next (the identity unless set).
extern float glRecorderModelview[16];

// Counts of recorded calls by name, for long sequences such as the mesh.
int countGlCalls(const std::string& name);
