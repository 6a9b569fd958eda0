// Native windows: SDL windows, plain or with OpenGL on the visual whose depth buffer is closest
// to the one asked for; showing, placing, sizing and raising them; the mouse capture and the
// window last shown.
#include <algorithm>
#include <memory>
#include <vector>

#include "platform/sdl/sdl_backend.h"

namespace {

// Depth buffers tried in turn when no visual could be picked; the first is the format's own.
constexpr int sdlDepthChoices[] = {24, 16};

std::vector<std::unique_ptr<BackendWindow>> sdlWindows;
BackendWindow* sdlCapturing = nullptr;
BackendWindow* sdlLastShown = nullptr;

// SDL's flags for a window with these settings, made hidden until it is shown.
Uint32 sdlFlags(const BackendWindowSettings& settings) {
    return SDL_WINDOW_HIDDEN | (settings.resizable ? SDL_WINDOW_RESIZABLE : 0);
}

// Keeps the new SDL window as a backend window, with the program's icon where it has one.
BackendWindow* sdlAdopt(SDL_Window* made, const BackendWindowSettings& settings) {
    if (settings.iconPixels != nullptr) {
        SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormatFrom(
            const_cast<unsigned char*>(settings.iconPixels), settings.iconSize, settings.iconSize, 32,
            settings.iconSize * 4, SDL_PIXELFORMAT_RGBA32);
        if (surface != nullptr) {
            SDL_SetWindowIcon(made, surface);
            SDL_FreeSurface(surface);
        }
    }
    sdlWindows.push_back(std::make_unique<BackendWindow>(BackendWindow{made, settings.handle}));
    return sdlWindows.back().get();
}

// Bits of a colour channel, at most 8 (a display without a true-colour layout gets 8).
int sdlChannelBits(uint32_t mask) { return mask != 0 ? std::min(__builtin_popcount(mask), 8) : 8; }

SDL_Window* sdlCreate(const BackendWindowSettings& settings, Uint32 flags) {
    const int x = settings.placed ? settings.x : static_cast<int>(SDL_WINDOWPOS_UNDEFINED);
    const int y = settings.placed ? settings.y : static_cast<int>(SDL_WINDOWPOS_UNDEFINED);
    return SDL_CreateWindow(settings.title, x, y, settings.width, settings.height, flags);
}

// Makes an SDL window with OpenGL in the display's layout with the given depth buffer, on the
// given X11 visual when there is one. X errors on the way fail it instead of ending the process.
// NOTE: SDL asks GLX for at least the depth bits it is given, and GLX then prefers the deepest
// buffer; Windows gives the format closest to the request instead. So on X11 the visual with the
// closest depth buffer is picked here and handed to SDL. The two faces of a two-sided surface
// tie in depth, and a deeper buffer than asked for breaks those ties into speckles.
SDL_Window* sdlMakeGlWindow(const BackendWindowSettings& settings, int depthBits, const std::string& visual) {
    uint32_t red = 0, green = 0, blue = 0;
    backendChannelMasks(&red, &green, &blue);
    // No profile or version attributes: a legacy context, as WGL gives.
    SDL_GL_ResetAttributes();
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, sdlChannelBits(red));
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, sdlChannelBits(green));
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, sdlChannelBits(blue));
    SDL_GL_SetAttribute(SDL_GL_ALPHA_SIZE, 0);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, depthBits);
    SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 0);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_SetHint(SDL_HINT_VIDEO_X11_WINDOW_VISUALID, visual.c_str());
    SDL_Window* made = nullptr;
    const bool clean =
        sdlWithoutXErrors([&] { made = sdlCreate(settings, sdlFlags(settings) | SDL_WINDOW_OPENGL); });
    SDL_SetHint(SDL_HINT_VIDEO_X11_WINDOW_VISUALID, "");
    if (made != nullptr && !clean) {
        SDL_DestroyWindow(made);
        return nullptr;
    }
    return made;
}

}  // namespace

BackendWindow* sdlFindWindow(Uint32 sdlWindowId) {
    for (const auto& window : sdlWindows) {
        if (SDL_GetWindowID(window->sdl) == sdlWindowId) {
            return window.get();
        }
    }
    return nullptr;
}

BackendWindow* sdlCaptureWindow() { return sdlCapturing; }

BackendWindow* sdlLastShownWindow() { return sdlLastShown; }

BackendWindow* backendCreateWindow(const BackendWindowSettings& settings) {
    SDL_Window* made = sdlCreate(settings, sdlFlags(settings));
    return made != nullptr ? sdlAdopt(made, settings) : nullptr;
}

// The closest visual first where one can be picked; otherwise, or if that fails, the deeper
// depth buffer and then the smaller one, as SDL chooses them.
BackendWindow* backendCreateGlWindow(const BackendWindowSettings& settings, int depthBits,
                                     int* gotDepthBits) {
    SDL_Window* made = nullptr;
    const std::string visual = depthBits != 0 ? sdlClosestX11Visual(depthBits) : std::string();
    if (!visual.empty()) {
        made = sdlMakeGlWindow(settings, depthBits, visual);
    }
    for (int choice : sdlDepthChoices) {
        if (made == nullptr && (made = sdlMakeGlWindow(settings, choice, std::string())) != nullptr) {
            depthBits = choice;
        }
    }
    if (made == nullptr) {
        return nullptr;
    }
    const int visualDepth = sdlX11WindowDepthBits(made);
    *gotDepthBits = visualDepth >= 0 ? visualDepth : depthBits;
    return sdlAdopt(made, settings);
}

void backendDestroyWindow(BackendWindow* window) {
    if (sdlCapturing == window) {
        sdlCapturing = nullptr;
    }
    if (sdlLastShown == window) {
        sdlLastShown = nullptr;
    }
    SDL_DestroyWindow(window->sdl);
    sdlWindows.erase(std::find_if(sdlWindows.begin(), sdlWindows.end(),
                                  [window](const auto& live) { return live.get() == window; }));
}

void backendShowWindow(BackendWindow* window, BackendShow how) {
    if (how == BackendShow::hide) {
        SDL_HideWindow(window->sdl);
        return;
    }
    sdlLastShown = window;
    SDL_ShowWindow(window->sdl);
    if (how == BackendShow::minimize) {
        SDL_MinimizeWindow(window->sdl);
    } else if (how == BackendShow::maximize) {
        SDL_MaximizeWindow(window->sdl);
    }
}

void backendMoveWindow(BackendWindow* window, int x, int y) { SDL_SetWindowPosition(window->sdl, x, y); }

void backendSizeWindow(BackendWindow* window, int width, int height) {
    if ((SDL_GetWindowFlags(window->sdl) & SDL_WINDOW_MAXIMIZED) != 0) {
        SDL_RestoreWindow(window->sdl);
    }
    SDL_SetWindowSize(window->sdl, width, height);
}

void backendRaiseWindow(BackendWindow* window) { SDL_RaiseWindow(window->sdl); }

void backendCaptureMouse(BackendWindow* window) {
    sdlCapturing = window;
    SDL_CaptureMouse(window != nullptr ? SDL_TRUE : SDL_FALSE);
}
