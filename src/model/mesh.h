// The built-in model: the mesh record, its table layout, and the call that draws it.
// The tables themselves are generated at build time (see src/model/generator).
#pragma once

#include <stdint.h>

#include "model/vec3.h"

// One triangle of the table: each corner's position and normal entry; no texture coordinates.
struct MeshTriangle {
    int32_t vertexIndex[3];
    int32_t normalIndex[3];
    int32_t texcoordIndex[3];  // -1: the model has no texture coordinates
};

struct Mesh {
    const char* name;
    const MeshTriangle* triangles;
    int32_t triangleCount;
    const Vec3* vertices;
    int32_t vertexCount;
    const Vec3* normals;
    int32_t normalCount;
    int32_t reserved[3];  // 0, 0, 1; nothing reads them
};

// The helicoid band, two and a half turns; every facet twice, once for each side.
extern const Mesh helicoidMesh;

// Sends the helicoid to OpenGL in immediate mode. Needs a current context, outside glBegin/glEnd.
void drawMesh();

// Sends any mesh the way drawMesh sends the helicoid.
void sendMesh(const Mesh& mesh);
