// Picks the X11 visual for an OpenGL window the way Windows picks a pixel format: the closest
// depth buffer to the one asked for, rather than GLX's deepest; and reads back what a window got.
#include "platform/sdl/sdl_backend.h"

#include <GL/glx.h>
#include <SDL_syswm.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

struct SdlVisualScore {
    int depthDistance;
    int extras;  // alpha, stencil, accumulation and auxiliary buffers nobody asked for
};

bool sdlBetter(const SdlVisualScore& a, const SdlVisualScore& b) {
    return a.depthDistance != b.depthDistance ? a.depthDistance < b.depthDistance : a.extras < b.extras;
}

int sdlGlx(Display* display, XVisualInfo* visual, int attribute) {
    int value = 0;
    return glXGetConfig(display, visual, attribute, &value) == 0 ? value : -1;
}

// A deeper buffer than asked for is a smaller miss than a shallower one, as with Windows.
int sdlDepthDistance(int depth, int requested) {
    return depth >= requested ? depth - requested : 64 + requested - depth;
}

}  // namespace

std::string sdlClosestX11Visual(int depthBits) {
    Display* display = sdlX11Display();
    if (display == nullptr) return std::string();

    XVisualInfo pattern{};
    pattern.screen = DefaultScreen(display);
    pattern.c_class = TrueColor;
    int count = 0;
    XVisualInfo* visuals = XGetVisualInfo(display, VisualScreenMask | VisualClassMask, &pattern, &count);
    VisualID best = 0;
    SdlVisualScore bestScore{};
    for (int i = 0; i < count; ++i) {
        XVisualInfo* v = &visuals[i];
        if (sdlGlx(display, v, GLX_USE_GL) != 1 || sdlGlx(display, v, GLX_RGBA) != 1 ||
            sdlGlx(display, v, GLX_DOUBLEBUFFER) != 1 || sdlGlx(display, v, GLX_LEVEL) != 0 ||
            sdlGlx(display, v, GLX_RED_SIZE) < 8 || sdlGlx(display, v, GLX_GREEN_SIZE) < 8 ||
            sdlGlx(display, v, GLX_BLUE_SIZE) < 8 || sdlGlx(display, v, GLX_STEREO) != 0 ||
            sdlGlx(display, v, GLX_SAMPLES) > 0) {
            continue;  // Windows' pixel formats are never multisampled
        }
        // The one pixel format has no alpha channel, so a visual without one is the closer match.
        SdlVisualScore score{sdlDepthDistance(sdlGlx(display, v, GLX_DEPTH_SIZE), depthBits),
                             sdlGlx(display, v, GLX_ALPHA_SIZE) + sdlGlx(display, v, GLX_STENCIL_SIZE) +
                                 sdlGlx(display, v, GLX_ACCUM_RED_SIZE) +
                                 sdlGlx(display, v, GLX_AUX_BUFFERS)};
        if (best == 0 || sdlBetter(score, bestScore)) {
            best = v->visualid;
            bestScore = score;
        }
    }
    if (visuals != nullptr) XFree(visuals);
    if (best == 0) return std::string();
    char text[32];
    std::snprintf(text, sizeof text, "0x%lx", static_cast<unsigned long>(best));
    return text;
}

int sdlX11WindowDepthBits(SDL_Window* sdlWindow) {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (SDL_GetWindowWMInfo(sdlWindow, &info) != SDL_TRUE || info.subsystem != SDL_SYSWM_X11) return -1;
    Display* display = info.info.x11.display;
    XWindowAttributes attributes;
    if (XGetWindowAttributes(display, info.info.x11.window, &attributes) == 0) return -1;
    XVisualInfo pattern{};
    pattern.visualid = XVisualIDFromVisual(attributes.visual);
    int count = 0;
    XVisualInfo* visual = XGetVisualInfo(display, VisualIDMask, &pattern, &count);
    if (visual == nullptr) return -1;
    const int depthBits = sdlGlx(display, visual, GLX_DEPTH_SIZE);
    XFree(visual);
    return depthBits;
}
