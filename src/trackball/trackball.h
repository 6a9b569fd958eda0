// The virtual trackball: turns left-button drags into a rotation step (spinAngle about spinAxis)
// and decides, on release, whether the model keeps spinning or stops.
#pragma once

#include "model/vec3.h"

// Maps the window point (x, y) onto the unit sphere under a width by height window: the centre
// gives (0, 0, 1), points on or beyond the inscribed circle give the equator.
void trackballProject(int x, int y, int width, int height, Vec3& out);

// A left-button press at (x, y): starts a drag and stops continuous drawing.
void trackballBegin(int x, int y);

// A mouse move to (x, y): while dragging, replaces the rotation step and asks for a frame.
void trackballDrag(int x, int y);

// A left-button release at (x, y): leaves the model spinning, or stops it after a click.
void trackballEnd(int x, int y);
