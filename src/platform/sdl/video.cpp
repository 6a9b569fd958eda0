// SDL's video start-up, the screen, the clock, and the one place the subset ends the process:
// when there is no display at all.
#include <malloc.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/sdl/sdl_backend.h"

namespace {

// SDL drivers that show nothing on a screen; SDL falls back on them when no display opens.
constexpr const char* sdlInvisibleDrivers[] = {"offscreen", "dummy", "evdev"};

// The SDL video drivers that put windows on a real screen, as a list for SDL's driver hint.
// NOTE: without this, SDL falls back on its offscreen driver when there is no display, and the
// program would run for ever with nothing to see. Wayland is tried only where a compositor is
// named, since its client library otherwise complains on stderr.
std::string sdlDisplayDrivers() {
    std::string drivers;
    for (int i = 0; i < SDL_GetNumVideoDrivers(); ++i) {
        const char* driver = SDL_GetVideoDriver(i);
        bool visible = std::strcmp(driver, "wayland") != 0 || SDL_getenv("WAYLAND_DISPLAY") != nullptr;
        for (const char* invisible : sdlInvisibleDrivers) {
            visible = visible && std::strcmp(driver, invisible) != 0;
        }
        if (visible) {
            drivers += drivers.empty() ? driver : std::string(",") + driver;
        }
    }
    return drivers;
}

// Keeps freed memory in the heap. Mesa's software renderer allocates and clears a buffer of about
// half a megabyte every frame; with glibc's default thresholds that block is mapped afresh (or
// the heap trimmed) each time, and its pages fault in again on every frame.
void sdlTuneAllocator() {
    mallopt(M_MMAP_THRESHOLD, 16 * 1024 * 1024);
    mallopt(M_TRIM_THRESHOLD, 64 * 1024 * 1024);
}

}  // namespace

void sdlFail(const char* cause) {
    std::fprintf(stderr, "%s: %s: %s\n", coreProgramName(), cause, SDL_GetError());
    std::fflush(stderr);
    std::exit(1);
}

void backendStart() {
    sdlTuneAllocator();
    // Leave SIGINT and SIGTERM to their default action, as a Windows program's console would:
    // SDL would otherwise turn them into an SDL_QUIT event that no Win32 program asks for.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    // Windows leaves the screensaver alone unless a program asks otherwise; SDL would inhibit it
    // (over D-Bus, at a cost at start-up).
    SDL_SetHint(SDL_HINT_VIDEO_ALLOW_SCREENSAVER, "1");
    // SDL_VIDEODRIVER, when set, still wins over this hint.
    SDL_SetHint(SDL_HINT_VIDEODRIVER, sdlDisplayDrivers().c_str());
    if (SDL_Init(SDL_INIT_VIDEO) != 0) {
        sdlFail("no usable display");
    }
    std::atexit(SDL_Quit);
    // Letters reach WM_CHAR through SDL's text events, so text input stays on.
    SDL_StartTextInput();
}

void backendScreenSize(int* width, int* height) {
    SDL_DisplayMode mode;
    if (SDL_GetDesktopDisplayMode(0, &mode) != 0) {
        mode.w = mode.h = 0;
    }
    *width = mode.w;
    *height = mode.h;
}

void backendChannelMasks(uint32_t* red, uint32_t* green, uint32_t* blue) {
    SDL_DisplayMode mode;
    int bitsPerPixel = 0;
    Uint32 alpha = 0;
    *red = *green = *blue = 0;
    if (SDL_GetDesktopDisplayMode(0, &mode) != 0 ||
        SDL_PixelFormatEnumToMasks(mode.format, &bitsPerPixel, red, green, blue, &alpha) != SDL_TRUE) {
        *red = *green = *blue = 0;
    }
}

uint64_t backendMilliseconds() { return SDL_GetTicks64(); }
