// Native windows in a page: each is a canvas, placed and sized in device pixels (its drawing
// buffer has the window's size, its CSS size is that over the pixel ratio, so it is sharp on a
// high-density display); the page's title is the window's. The mouse capture and the window
// last shown.
#include <algorithm>
#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "platform/web/web_backend.h"

namespace {

std::vector<std::unique_ptr<BackendWindow>> webWindows;
int webLastWindowId = 0;
BackendWindow* webCapturing = nullptr;
BackendWindow* webLastShown = nullptr;

void webPlace(const BackendWindow* window) {
    webPlaceCanvas(window->id.c_str(), window->x, window->y, window->width, window->height, webPixelRatio());
}

// A window's canvas is named by its number: the page tells the program of a canvas by that number.
std::string canvasId(int number) { return "win32-window-" + std::to_string(number); }

}  // namespace

BackendWindow* webCaptureWindow() { return webCapturing; }

BackendWindow* webLastShownWindow() { return webLastShown; }

void webPointInWindow(const BackendWindow* window, double clientX, double clientY, int* x, int* y) {
    const char* id = window->id.c_str();
    const double ratio = webPixelRatio() / webDesktopScale();
    *x = static_cast<int>(std::floor((clientX - webCanvasLeft(id)) * ratio));
    *y = static_cast<int>(std::floor((clientY - webCanvasTop(id)) * ratio));
}

// The last made is on top, as the page stacks them.
BackendWindow* webWindowAt(double clientX, double clientY, int* x, int* y) {
    for (auto window = webWindows.rbegin(); window != webWindows.rend(); ++window) {
        if (!(*window)->shown) continue;
        webPointInWindow(window->get(), clientX, clientY, x, y);
        if (*x >= 0 && *y >= 0 && *x < (*window)->width && *y < (*window)->height) return window->get();
    }
    return nullptr;
}

BackendWindow* webWindowOfCanvas(int number) {
    const std::string id = canvasId(number);
    auto window = std::find_if(webWindows.begin(), webWindows.end(),
                               [&id](const auto& live) { return live->id == id; });
    return window != webWindows.end() ? window->get() : nullptr;
}

void webRemoveAllWindows() {
    while (!webWindows.empty()) backendDestroyWindow(webWindows.back().get());
}

// The system places a window it is not given a place for at the page's top left.
BackendWindow* backendCreateWindow(const BackendWindowSettings& settings) {
    auto window = std::make_unique<BackendWindow>();
    window->handle = settings.handle;
    window->id = canvasId(++webLastWindowId);
    window->selector = "#" + window->id;
    window->x = settings.placed ? settings.x : 0;
    window->y = settings.placed ? settings.y : 0;
    window->width = settings.width;
    window->height = settings.height;
    window->shown = false;
    webCreateCanvas(window->id.c_str(), settings.title);
    webPlace(window.get());
    webWindows.push_back(std::move(window));
    return webWindows.back().get();
}

// Every canvas can hold WebGL 2 where the browser has it, with the depth buffer it gives.
BackendWindow* backendCreateGlWindow(const BackendWindowSettings& settings, int, int* gotDepthBits) {
    if (!backendGlAvailable()) return nullptr;
    *gotDepthBits = webProbeWebGl2DepthBits();
    return backendCreateWindow(settings);
}

void backendDestroyWindow(BackendWindow* window) {
    if (webCapturing == window) webCapturing = nullptr;
    if (webLastShown == window) webLastShown = nullptr;
    webRemoveCanvas(window->id.c_str());
    webWindows.erase(std::find_if(webWindows.begin(), webWindows.end(),
                                  [window](const auto& live) { return live.get() == window; }));
}

// A page has no minimised or maximised canvases: both show it as it is.
void backendShowWindow(BackendWindow* window, BackendShow how) {
    window->shown = how != BackendShow::hide;
    if (window->shown) webLastShown = window;
    webShowCanvas(window->id.c_str(), window->shown);
}

void backendMoveWindow(BackendWindow* window, int x, int y) {
    window->x = x;
    window->y = y;
    webPlace(window);
}

void backendSizeWindow(BackendWindow* window, int width, int height) {
    window->width = width;
    window->height = height;
    webPlace(window);
}

// The page stacks later canvases over earlier ones; raising makes it the last.
void backendRaiseWindow(BackendWindow* window) {
    auto live = std::find_if(webWindows.begin(), webWindows.end(),
                             [window](const auto& entry) { return entry.get() == window; });
    std::rotate(live, live + 1, webWindows.end());
    webRaiseCanvas(window->id.c_str());
}

// The page keeps sending a held button's moves and release to the page's window wherever the
// mouse goes, so capturing is only a matter of whom they are given to.
void backendCaptureMouse(BackendWindow* window) { webCapturing = window; }
