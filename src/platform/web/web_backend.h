// Private to the browser backend: its native window record (a canvas in the page) and the helpers
// its files share, named web...; the page-side halves live in web_backend.js.
#pragma once

#include <emscripten/html5_webgl.h>

#include <string>

#include "platform/backend.h"

// What a BackendWindow is here: a canvas of the page and the Win32 window it belongs to. Sizes
// and places are in device pixels, as the program counts them.
struct BackendWindow {
    HWND handle;
    std::string id;        // the canvas's element id
    std::string selector;  // "#id", as html5.h names its targets
    int x, y, width, height;
    bool shown;
};

// Device pixels behind one CSS pixel.
double webPixelRatio();

// The backend's window under a point of the page's viewport (CSS pixels), or null; *x and *y
// become the point in that window's device pixels.
BackendWindow* webWindowAt(double clientX, double clientY, int* x, int* y);

// The window holding the mouse capture, and the window last shown (the one the page's keys go
// to); null for none.
BackendWindow* webCaptureWindow();
BackendWindow* webLastShownWindow();

// Where a point of the viewport (CSS pixels) lies in a window, in its device pixels, through the
// scale the page shows the desktop at.
void webPointInWindow(const BackendWindow* window, double clientX, double clientY, int* x, int* y);

// Gives the left button's message for a point of the viewport to the window holding the capture,
// else to the window under it; false where there is neither.
bool webGiveMouse(UINT message, bool leftDown, double clientX, double clientY);

// The window whose canvas has this number (its element id is win32-window-<number>), or null.
BackendWindow* webWindowOfCanvas(int number);

// Takes every window's canvas off the page.
void webRemoveAllWindows();

// A touch or pen contact's phase (0 down, 1 move, 2 up, 3 cancelled) at a point of the viewport,
// as the left button; true where the program takes it (touch.cpp).
bool webTouchInput(int phase, int id, double clientX, double clientY);

// Listens to the page's keys, mouse, touch and key buttons; what comes is kept until
// backendPumpEvents. Until the program ends.
void webListen();

// The browser lost the window's contexts: the GL library lets go of what it made in them (gl.cpp).
void webContextLost(BackendWindow* window);

// The window's contexts, lost by the browser, are back: each gets a new handle (made current if
// it was), and the window is repainted (gl.cpp).
void webContextRestored(BackendWindow* window);

// Given by the page's OpenGL library: lets go of what it made in a context (programs, buffers),
// when the browser loses the context and before the backend destroys it.
extern "C" void webglReleaseContext(EMSCRIPTEN_WEBGL_CONTEXT_HANDLE context);

// True while input is waiting for backendPumpEvents.
bool webInputPending();

// ---- The page side (web_backend.js) ----
extern "C" {
// Sleeps until webWakeUp, or timeoutMs pass (-1: no limit). Returns to the page meanwhile.
void webWaitForInput(int timeoutMs);
// Sleeps until the page's next animation frame.
void webWaitForFrame();
// Ends a webWaitForInput once the page's current event is handled.
void webWakeUp();
// Shows a modal box in the page; returns once it is dismissed (OK, Return or Esc).
void webShowMessageBox(const char* caption, const char* text, int error);
// Makes, places, shows and removes the canvases, and sets the page's title.
void webCreateCanvas(const char* id, const char* title);
void webPlaceCanvas(const char* id, int x, int y, int width, int height, double pixelRatio);
void webShowCanvas(const char* id, int shown);
void webRemoveCanvas(const char* id);
void webRaiseCanvas(const char* id);
// The viewport's size in CSS pixels, the top left of a canvas in it, and the scale the desktop
// is shown at (1, or less where the viewport is too small for the windows).
double webViewportWidth();
double webViewportHeight();
double webCanvasLeft(const char* id);
double webCanvasTop(const char* id);
double webDesktopScale();
// Sends touch and pen to webPointerInput and the page's key buttons to webPressKey, or stops.
void webListenToPage();
void webStopPageInput();
// Called by the page: a touch or pen contact (webTouchInput, 1 where taken); a key button
// pressed (a virtual key); the context of the canvas win32-window-<number> lost, restored.
int webPointerInput(int phase, int id, double clientX, double clientY);
void webPressKey(int virtualKey);
void webCanvasLost(int number);
void webCanvasRestored(int number);
// The depth bits of a WebGL 2 drawing buffer with a depth buffer, or 0 without WebGL 2.
int webProbeWebGl2DepthBits();
}
