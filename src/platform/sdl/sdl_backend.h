// Private to the SDL2 backend: its native window record and the helpers its files share, named
// sdl...; the X11 helpers OpenGL needs on an X server.
#pragma once

#include <SDL.h>

#include <functional>
#include <string>

#include "platform/backend.h"

// What a BackendWindow is here: an SDL window and the Win32 window it belongs to.
struct BackendWindow {
    SDL_Window* sdl;
    HWND handle;
};

// The backend's window with this SDL window id, or null.
BackendWindow* sdlFindWindow(Uint32 sdlWindowId);

// The window holding the mouse capture, and the window last shown (the one keyboard input goes
// to when SDL names none); null for none.
BackendWindow* sdlCaptureWindow();
BackendWindow* sdlLastShownWindow();

// Writes "<program>: <cause>: <SDL's error text>" on stderr and exits with code 1.
[[noreturn]] void sdlFail(const char* cause);

// ---- OpenGL on X11 (x11_display.cpp, x11_visual.cpp) ----

// SDL's own connection to the X server (Xlib's Display); null when SDL is not on X11.
struct _XDisplay* sdlX11Display();

// Runs `step` with X protocol errors caught, so that none reaches Xlib's default handler (which
// ends the process); true if the X server reported none. Off X11 it just runs the step.
bool sdlWithoutXErrors(const std::function<void()>& step);

// On X11: the id (as text, for SDL's visual hint) of the double-buffered RGBA GL visual whose
// depth buffer is closest to depthBits; empty when not on X11 or none fits.
std::string sdlClosestX11Visual(int depthBits);

// On X11: the depth buffer bits of the visual an SDL window was made with; -1 where unknown.
int sdlX11WindowDepthBits(SDL_Window* window);
