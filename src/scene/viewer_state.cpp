// The viewer state's variables with their initial values.
#include "scene/viewer_state.h"

#include "scene/viewer_texts.h"

const char* const className = "OpenGL";
const char* const windowTitle = viewerWindowTitle;
const int windowX = 50;
const int windowY = 50;
int windowWidth = 0;
int windowHeight = 0;
HDC hDC = nullptr;
HGLRC hRC = nullptr;
HPALETTE hPalette = nullptr;
void (*idleFunc)() = nullptr;

int fogEnabled = 0;
int wireframe = 0;

float rotationMatrix[16] = {};
float spinAngle = 2.0f;
Vec3 spinAxis = {0.3f, 0.2f, 0.4f};
Vec3 lastVector = {0.0f, 0.0f, 0.0f};
int pressX = 0;
int pressY = 0;
int animating = 1;
int spinning = 0;
int tracking = 0;

float stepValue = 0.55f;

const float lightPosition[lightCount][4] = {
    {0.7f, 0.7f, 1.25f, 0.0f},     {-10.0f, 14.0f, 4.0f, 0.0f}, {5.0f, -6.0f, -2.0f, 0.0f},
    {0.0f, -3.0f, 4.0f, 0.0f},     {0.0f, -2.0f, -5.0f, 0.0f},  {0.0f, 0.0f, -8.0f, 0.0f},
    {-20.0f, -10.0f, -2.0f, 0.0f},
};
