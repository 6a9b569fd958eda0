// The display: SDL's video start-up, the screen metrics, and the one place the subset ends the
// process: when there is no display at all.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/platform_internal.h"

namespace {

std::string programName = "program";
bool videoReady = false;

// SDL drivers that show nothing on a screen; SDL falls back on them when no display opens.
constexpr const char* subsetInvisibleDrivers[] = {"offscreen", "dummy", "evdev"};

// The SDL video drivers that put windows on a real screen, as a list for SDL's driver hint.
// NOTE: without this, SDL falls back on its offscreen driver when there is no display, and the
// program would run for ever with nothing to see. Wayland is tried only where a compositor is
// named, since its client library otherwise complains on stderr.
std::string subsetDisplayDrivers() {
    std::string drivers;
    for (int i = 0; i < SDL_GetNumVideoDrivers(); ++i) {
        const char* driver = SDL_GetVideoDriver(i);
        bool visible = std::strcmp(driver, "wayland") != 0 || SDL_getenv("WAYLAND_DISPLAY") != nullptr;
        for (const char* invisible : subsetInvisibleDrivers) {
            visible = visible && std::strcmp(driver, invisible) != 0;
        }
        if (visible) {
            drivers += drivers.empty() ? driver : std::string(",") + driver;
        }
    }
    return drivers;
}

}  // namespace

void subsetSetProgramName(const char* argv0) {
    if (argv0 == nullptr || *argv0 == '\0') {
        return;
    }
    const char* slash = std::strrchr(argv0, '/');
    programName = slash != nullptr ? slash + 1 : argv0;
}

const char* subsetProgramName() {
    return programName.c_str();
}

void subsetFail(const char* cause) {
    std::fprintf(stderr, "%s: %s: %s\n", programName.c_str(), cause, SDL_GetError());
    std::fflush(stderr);
    std::exit(1);
}

void subsetEnsureVideo() {
    if (videoReady) {
        return;
    }
    // Leave SIGINT and SIGTERM to their default action, as a Windows program's console would:
    // SDL would otherwise turn them into an SDL_QUIT event that no Win32 program asks for.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    // Windows leaves the screensaver alone unless a program asks otherwise; SDL would inhibit it
    // (over D-Bus, at a cost at start-up).
    SDL_SetHint(SDL_HINT_VIDEO_ALLOW_SCREENSAVER, "1");
    // SDL_VIDEODRIVER, when set, still wins over this hint.
    SDL_SetHint(SDL_HINT_VIDEODRIVER, subsetDisplayDrivers().c_str());
    if (SDL_Init(SDL_INIT_VIDEO) != 0) {
        subsetFail("no usable display");
    }
    std::atexit(SDL_Quit);
    // Letters reach WM_CHAR through SDL's text events, so text input stays on.
    SDL_StartTextInput();
    videoReady = true;
}

// Returns the size of the primary display for SM_CXSCREEN and SM_CYSCREEN, 0 for the rest.
int WINAPI GetSystemMetrics(int index) {
    if (index != SM_CXSCREEN && index != SM_CYSCREEN) {
        return 0;
    }
    subsetEnsureVideo();
    SDL_DisplayMode mode;
    if (SDL_GetDesktopDisplayMode(0, &mode) != 0) {
        return 0;
    }
    return index == SM_CXSCREEN ? mode.w : mode.h;
}
