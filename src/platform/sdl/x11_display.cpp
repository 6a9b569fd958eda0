// SDL's connection to the X server, and OpenGL set-up on it without X protocol errors ending the
// process: Xlib's default error handler, which SDL's own chains to, exits on any error.
#include "platform/sdl/sdl_backend.h"

#include <SDL_syswm.h>
#include <X11/Xlib.h>

#include <cstdlib>
#include <cstring>

namespace {

bool sdlXErrorSeen = false;

int sdlNoteXError(Display*, XErrorEvent*) {
    sdlXErrorSeen = true;
    return 0;
}

}  // namespace

// Found through a small hidden window made for the purpose. Asking GLX on SDL's connection loads
// the GL driver once, for the subset and for SDL's windows; a connection of our own would load
// and set it up a second time.
Display* sdlX11Display() {
    static Display* display = nullptr;
    static bool looked = false;
    if (looked) return display;
    looked = true;
    const char* driver = SDL_GetCurrentVideoDriver();
    if (driver == nullptr || std::strcmp(driver, "x11") != 0) return nullptr;
    SDL_Window* probe = SDL_CreateWindow("", 0, 0, 1, 1, SDL_WINDOW_HIDDEN);
    if (probe == nullptr) return nullptr;
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (SDL_GetWindowWMInfo(probe, &info) == SDL_TRUE && info.subsystem == SDL_SYSWM_X11) {
        display = info.info.x11.display;
    }
    SDL_DestroyWindow(probe);
    return display;
}

// Errors already on their way belong to the handler before; the ones the step causes are all in
// by the second sync, before that handler is back.
bool sdlWithoutXErrors(const std::function<void()>& step) {
    Display* display = sdlX11Display();
    if (display == nullptr) {
        step();
        return true;
    }
    XSync(display, False);
    sdlXErrorSeen = false;
    XErrorHandler previous = XSetErrorHandler(sdlNoteXError);
    step();
    XSync(display, False);
    XSetErrorHandler(previous);
    return !sdlXErrorSeen;
}

// NOTE: SDL's GL library load makes a throw-away GLX context to read the extensions. Where the X
// server refuses it (indirect rendering only, as over ssh -X or without a GL driver), that is an
// X error; caught here, the library still serves to pick visuals, and the refusal comes back as a
// context that cannot be made. Without GLX at all the load fails and there is no pixel format.
// The library stays loaded from then on, so that each GL window made and destroyed does not load
// it (and make that context) again; it is let go at exit, before SDL_Quit.
bool backendGlAvailable() {
    static int loaded = 1;  // SDL's answer once asked: 0 for loaded
    if (loaded > 0) {
        sdlWithoutXErrors([] { loaded = SDL_GL_LoadLibrary(nullptr) == 0 ? 0 : -1; });
        if (loaded == 0) {
            std::atexit(SDL_GL_UnloadLibrary);
        }
    }
    return loaded == 0;
}
