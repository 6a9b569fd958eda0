// WGL over SDL's OpenGL contexts: a legacy (compatibility) context on the window's SDL window.
#include <algorithm>

#include "platform/platform_internal.h"

namespace {

std::vector<SDL_GLContext> subsetContexts;

bool subsetKnownContext(HGLRC context) {
    return context != nullptr && std::find(subsetContexts.begin(), subsetContexts.end(),
                                            reinterpret_cast<SDL_GLContext>(context)) != subsetContexts.end();
}

}  // namespace

// Makes a context for the device context's window, which needs its pixel format set. NULL where
// the GL cannot make one (no driver, or indirect rendering the X server refuses).
HGLRC WINAPI wglCreateContext(HDC dc) {
    SubsetWindow* window = subsetFindWindowByDeviceContext(dc);
    if (window == nullptr || !window->sdlWindowHasGl) {
        return nullptr;
    }
    SDL_Window* previousWindow = SDL_GL_GetCurrentWindow();
    SDL_GLContext previous = SDL_GL_GetCurrentContext();
    SDL_GLContext context = nullptr;
    const bool clean = subsetWithoutXErrors([&] { context = SDL_GL_CreateContext(window->sdlWindow); });
    if (context != nullptr && !clean) {
        SDL_GL_DeleteContext(context);
        context = nullptr;
    }
    // SDL makes a new context current; wglCreateContext leaves the current one alone.
    SDL_GL_MakeCurrent(previousWindow, previous);
    if (context == nullptr) {
        return nullptr;
    }
    subsetContexts.push_back(context);
    return reinterpret_cast<HGLRC>(context);
}

// Makes the context current on the device context's window; (NULL, NULL) releases the current
// one. Swaps wait for the display's refresh, as WGL's default swap interval of 1 has them do:
// a program that draws one step per frame then moves as fast as it does on Windows. Where the
// driver cannot wait (a software renderer on a virtual display), swaps simply do not wait.
BOOL WINAPI wglMakeCurrent(HDC dc, HGLRC context) {
    if (context == nullptr) {
        return SDL_GL_MakeCurrent(nullptr, nullptr) == 0 ? TRUE : FALSE;
    }
    SubsetWindow* window = subsetFindWindowByDeviceContext(dc);
    if (window == nullptr || !window->sdlWindowHasGl || !subsetKnownContext(context)) {
        return FALSE;
    }
    if (SDL_GL_MakeCurrent(window->sdlWindow, reinterpret_cast<SDL_GLContext>(context)) != 0) {
        return FALSE;
    }
    SDL_GL_SetSwapInterval(1);
    return TRUE;
}

BOOL WINAPI wglDeleteContext(HGLRC context) {
    if (!subsetKnownContext(context)) {
        return FALSE;
    }
    SDL_GL_DeleteContext(reinterpret_cast<SDL_GLContext>(context));
    subsetContexts.erase(std::find(subsetContexts.begin(), subsetContexts.end(), reinterpret_cast<SDL_GLContext>(context)));
    return TRUE;
}
