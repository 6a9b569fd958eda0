// Vec3: three 32-bit reals x, y, z, for vectors, axes, positions and normals.
#pragma once

struct Vec3 {
    float x;
    float y;
    float z;
};
