// The virtual trackball: maps window points onto a sphere and keeps the rotation step and the
// spin/drag flags of the viewer state up to date as the left button is pressed, moved and released.
#include "trackball/trackball.h"

#include "scene/redraw.h"
#include "scene/viewer_state.h"

#include <cmath>

namespace {

// pi/2 as a single-precision value; cos of it is not exactly 0, so the rim sits a hair below
// the equator, which the normalisation below absorbs.
const float halfPi = 1.5707964f;

// Degrees of rotation per unit of distance between two successive sphere points.
const float degreesPerUnit = 90.0f;

float length(const Vec3& v) { return std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z); }

}  // namespace

// The height over a point at distance d from the centre is cos(d * pi/2): flat near the rim and
// 1 at the centre. Points outside the circle (the mouse is captured during a drag, so they
// occur) are clamped to the rim.
void trackballProject(int x, int y, int width, int height, Vec3& out) {
    const float w = float(width);
    const float h = float(height);
    Vec3 p;
    p.x = (2.0f * float(x) - w) / w;
    p.y = (h - 2.0f * float(y)) / h;  // window y grows downwards
    float d = std::sqrt(p.x * p.x + p.y * p.y);
    if (!(d < 1.0f)) d = 1.0f;
    p.z = std::cos(d * halfPi);
    const float a = 1.0f / length(p);
    out.x = p.x * a;
    out.y = p.y * a;
    out.z = p.z * a;
}

// No redraw is requested here: clearing animating lets an installed idle hook draw one last
// frame and remove itself.
void trackballBegin(int x, int y) {
    spinning = 1;
    tracking = 1;
    animating = 0;
    pressX = x;
    pressY = y;
    trackballProject(x, y, windowWidth, windowHeight, lastVector);
}

// Each motion replaces the step; the next frame applies the latest one once.
void trackballDrag(int x, int y) {
    if (tracking != 1) return;
    Vec3 v;
    trackballProject(x, y, windowWidth, windowHeight, v);
    const Vec3 difference = {v.x - lastVector.x, v.y - lastVector.y, v.z - lastVector.z};
    spinAngle = degreesPerUnit * length(difference);
    spinAxis.x = lastVector.y * v.z - lastVector.z * v.y;
    spinAxis.y = lastVector.z * v.x - lastVector.x * v.z;
    spinAxis.z = lastVector.x * v.y - lastVector.y * v.x;
    lastVector = v;
    requestRedraw();
}

// A release exactly at the press point is a click and stops the model; anywhere else the model
// keeps turning by the last step in every frame.
void trackballEnd(int x, int y) {
    if (spinning != 1) return;
    tracking = 0;
    if (x == pressX && y == pressY) {
        spinAngle = 0.0f;
        animating = 0;
        spinning = 0;
    } else {
        animating = 1;
    }
    requestRedraw();
}
