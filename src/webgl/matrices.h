// Single-precision 4x4 matrix arithmetic shared by the matrix calls and the drawing.
#pragma once

#include "webgl/state.h"

namespace glsubset {

// a * b, each element summed left to right in float as Mesa does.
Matrix multiply(const Matrix& a, const Matrix& b);

// The upper-left 3x3 of the inverse transpose, column-major: what turns normals into eye space.
// A singular matrix gives the identity.
void normalMatrix(const Matrix& modelview, float out[9]);

// m * (x, y, z, w).
void transform(const Matrix& m, const float in[4], float out[4]);

}  // namespace glsubset
