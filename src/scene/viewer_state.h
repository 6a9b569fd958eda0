// The viewer's process-wide state: every variable the window, the keys, the trackball and
// the frame share, read and written directly by the code that uses them.
#pragma once

#include "model/vec3.h"
#include "platform/win32.h"

// Window and device.
extern const char* const className;
extern const char* const windowTitle;
extern const int windowX;
extern const int windowY;
extern int windowWidth;  // outer size, set once at start-up; the window is square
extern int windowHeight;
extern HDC hDC;
extern HGLRC hRC;  // kept after the context is deleted
extern HPALETTE hPalette;
extern void (*idleFunc)();

// Drawing options (flags: 0 or 1).
extern int fogEnabled;
extern int wireframe;

// Rotation and trackball.
extern float rotationMatrix[16];  // column-major; all zero until the scene is set up
extern float spinAngle;           // degrees folded in per frame while spinning
extern Vec3 spinAxis;             // not normalised
extern Vec3 lastVector;
extern int pressX;
extern int pressY;
extern int animating;
extern int spinning;
extern int tracking;

// The "j"/"k" step value; nothing else reads it.
extern float stepValue;

// Directional light positions (x, y, z, 0): entry 0 is light 0, entries 1 to 6 the coloured lights.
const int lightCount = 7;
extern const float lightPosition[lightCount][4];

// Sets a flag to 1 if it was 0, else to 0.
inline void toggleFlag(int& flag) { flag = flag == 0 ? 1 : 0; }
