// The creation and destruction sequences of the window: acquire the device and rendering
// contexts and set the scene up when the window is made, release them when it goes.
#include "app/window_lifecycle.h"

#include "gl/palette.h"
#include "gl/pixel_format.h"
#include "scene/scene.h"
#include "scene/viewer_state.h"

namespace {

// The timer's messages get default processing; they only wake the message loop.
const UINT_PTR wakeTimerId = 1;
const UINT wakeTimerPeriodMs = 100;

}  // namespace

// The palette is set up before the rendering context so the context is made on a DC that
// already has it. The context results are not examined: without a context hRC stays null, and
// the handlers that need one then leave their messages to default processing.
void createWindowResources(HWND window) {
    SetTimer(window, wakeTimerId, wakeTimerPeriodMs, nullptr);
    hDC = GetDC(window);
    setupPixelFormat(hDC);
    setupPalette(hDC);
    hRC = wglCreateContext(hDC);
    wglMakeCurrent(hDC, hRC);
    initScene();
}

// hRC keeps its value after deletion. The hook is removed so no frame is drawn with the deleted
// context while the remaining messages are handled. The timer and the palette end with the
// window and the process.
void destroyWindowResources(HWND window) {
    if (hRC != nullptr) {
        wglMakeCurrent(nullptr, nullptr);
        wglDeleteContext(hRC);
    }
    idleFunc = nullptr;
    ReleaseDC(window, hDC);
    PostQuitMessage(0);
}
