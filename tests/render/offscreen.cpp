// The buffer swap of the offscreen renderer (there is no second buffer, so it finishes the frame),
// and the measure of a rotation matrix that the render tests and the fuzzer share.
#include "tests/render/offscreen.h"

#include <cmath>

extern "C" BOOL WINAPI SwapBuffers(HDC) {
    glFinish();
    return TRUE;
}

double rotationError(const float matrix[16]) {
    double sum = (matrix[15] - 1.0) * (matrix[15] - 1.0);
    for (int i : {3, 7, 11, 12, 13, 14}) sum += double(matrix[i]) * matrix[i];
    for (int a = 0; a < 3; ++a)
        for (int b = 0; b < 3; ++b) {
            double dot = -(a == b);
            for (int i = 0; i < 3; ++i) dot += double(matrix[4 * a + i]) * matrix[4 * b + i];
            sum += dot * dot;
        }
    return std::sqrt(sum);  // not a number where the matrix holds one
}
