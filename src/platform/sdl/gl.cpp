// OpenGL contexts on SDL windows: made without X errors reaching Xlib, made current with swaps
// that wait for the display's refresh, swapped.
#include "platform/sdl/sdl_backend.h"

// SDL's context is the backend's context.
BackendContext* backendCreateContext(BackendWindow* window) {
    SDL_Window* previousWindow = SDL_GL_GetCurrentWindow();
    SDL_GLContext previous = SDL_GL_GetCurrentContext();
    SDL_GLContext context = nullptr;
    const bool clean = sdlWithoutXErrors([&] { context = SDL_GL_CreateContext(window->sdl); });
    if (context != nullptr && !clean) {
        SDL_GL_DeleteContext(context);
        context = nullptr;
    }
    // SDL makes a new context current; wglCreateContext leaves the current one alone.
    SDL_GL_MakeCurrent(previousWindow, previous);
    return static_cast<BackendContext*>(context);
}

bool backendMakeCurrent(BackendWindow* window, BackendContext* context) {
    if (context == nullptr) {
        return SDL_GL_MakeCurrent(nullptr, nullptr) == 0;
    }
    if (SDL_GL_MakeCurrent(window->sdl, static_cast<SDL_GLContext>(context)) != 0) {
        return false;
    }
    SDL_GL_SetSwapInterval(1);
    return true;
}

void backendDeleteContext(BackendContext* context) {
    SDL_GL_DeleteContext(static_cast<SDL_GLContext>(context));
}

void backendSwapBuffers(BackendWindow* window) { SDL_GL_SwapWindow(window->sdl); }
