// Writes the values of the model's immediate-mode calls in the order the program sends them each
// frame (per corner a normal, then a vertex: six floats, little-endian) for the bare WebGL 2
// page. Runs under Node at build time; its OpenGL calls only record.
#include "model/mesh.h"

#include <cstdio>
#include <vector>

namespace {

std::vector<float> calls;

}  // namespace

extern "C" {

void glLineWidth(float) {}
void glBegin(unsigned) {}
void glEnd() {}
void glNormal3f(float x, float y, float z) { calls.insert(calls.end(), {x, y, z}); }
void glVertex3f(float x, float y, float z) { calls.insert(calls.end(), {x, y, z}); }
}

int main(int argc, char** argv) {
    drawMesh();
    FILE* out = argc == 2 ? std::fopen(argv[1], "wb") : nullptr;
    if (!out || std::fwrite(calls.data(), sizeof(float), calls.size(), out) != calls.size()) return 1;
    return std::fclose(out) == 0 ? 0 : 1;
}
