// Folds the spin step into the accumulated rotation, and keeps that a pure rotation.
#include "scene/scene.h"

#include "scene/viewer_state.h"

#include "platform/opengl.h"

#include <cmath>

namespace {

// A step turns the model only with a nonzero angle about an axis of nonzero length. OpenGL
// normalises the axis itself, and some implementations give NaNs for a zero-length one.
bool isTurningStep(float angle, const Vec3& axis) {
    float squaredLength = axis.x * axis.x + axis.y * axis.y + axis.z * axis.z;
    return angle != 0.0f && std::isfinite(angle) && squaredLength > 0.0f && std::isfinite(squaredLength);
}

bool allFinite(const float m[16]) {
    for (int i = 0; i < 16; ++i)
        if (!std::isfinite(m[i])) return false;
    return true;
}

// Brings the 3x3 part of a column-major matrix back to orthonormal (Gram-Schmidt), so the
// float rounding of a long spin cannot grow or shear the model. A matrix whose columns have
// collapsed is left as it is.
void orthonormalize(float m[16]) {
    double c0[3] = {m[0], m[1], m[2]};
    double c1[3] = {m[4], m[5], m[6]};
    double length0 = std::sqrt(c0[0] * c0[0] + c0[1] * c0[1] + c0[2] * c0[2]);
    if (!(length0 > 1e-6)) return;
    for (double& c : c0) c /= length0;
    double dot = c0[0] * c1[0] + c0[1] * c1[1] + c0[2] * c1[2];
    for (int i = 0; i < 3; ++i) c1[i] -= dot * c0[i];
    double length1 = std::sqrt(c1[0] * c1[0] + c1[1] * c1[1] + c1[2] * c1[2]);
    if (!(length1 > 1e-6)) return;
    for (double& c : c1) c /= length1;
    const double c2[3] = {c0[1] * c1[2] - c0[2] * c1[1], c0[2] * c1[0] - c0[0] * c1[2],
                          c0[0] * c1[1] - c0[1] * c1[0]};
    for (int i = 0; i < 3; ++i) {
        m[i] = float(c0[i]);
        m[4 + i] = float(c1[i]);
        m[8 + i] = float(c2[i]);
    }
}

}  // namespace

void accumulateRotation() {
    if (!isTurningStep(spinAngle, spinAxis)) return;

    // R * rotationMatrix, formed on the modelview stack so the step turns about an eye-space axis.
    float result[16];
    glPushMatrix();
    glLoadIdentity();
    glRotatef(spinAngle, spinAxis.x, spinAxis.y, spinAxis.z);
    glMultMatrixf(rotationMatrix);
    glGetFloatv(GL_MODELVIEW_MATRIX, result);
    glPopMatrix();

    if (!allFinite(result)) return;
    orthonormalize(result);
    for (int i = 0; i < 16; ++i) rotationMatrix[i] = result[i];
}
