// Keeps the viewer state's start values, so each test can begin from them.
#include "tests/unit/app_fixture.h"

#include "scene/viewer_state.h"

#include <algorithm>

namespace {

struct StateSnapshot {
    int windowWidth, windowHeight;
    HDC hDC;
    HGLRC hRC;
    HPALETTE hPalette;
    void (*idleFunc)();
    int fogEnabled, wireframe;
    float rotationMatrix[16];
    float spinAngle;
    Vec3 spinAxis, lastVector;
    int pressX, pressY, animating, spinning, tracking;
    float stepValue;
};

StateSnapshot takeSnapshot() {
    StateSnapshot s = {windowWidth, windowHeight, hDC,       hRC,       hPalette,  idleFunc, fogEnabled,
                       wireframe,   {},           spinAngle, spinAxis,  lastVector, pressX, pressY,
                       animating,   spinning,     tracking,  stepValue};
    std::copy(rotationMatrix, rotationMatrix + 16, s.rotationMatrix);
    return s;
}

// The variables are constant-initialised, so this dynamic initialisation sees their start values.
const StateSnapshot startState = takeSnapshot();

}  // namespace

void resetViewerState() {
    const StateSnapshot& s = startState;
    windowWidth = s.windowWidth;
    windowHeight = s.windowHeight;
    hDC = s.hDC;
    hRC = s.hRC;
    hPalette = s.hPalette;
    idleFunc = s.idleFunc;
    fogEnabled = s.fogEnabled;
    wireframe = s.wireframe;
    std::copy(s.rotationMatrix, s.rotationMatrix + 16, rotationMatrix);
    spinAngle = s.spinAngle;
    spinAxis = s.spinAxis;
    lastVector = s.lastVector;
    pressX = s.pressX;
    pressY = s.pressY;
    animating = s.animating;
    spinning = s.spinning;
    tracking = s.tracking;
    stepValue = s.stepValue;
}
