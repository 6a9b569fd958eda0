// The fake backend: every request is a line in fake::requests; windows and contexts are small
// records; the wait moves the clock on to the next timer instead of sleeping.
#include "tests/platform/fake_backend.h"

#include <cstdio>
#include <cstdlib>
#include <deque>

struct BackendWindow {
    int id;
};
struct BackendContext {
    int id;
};

namespace fake {

std::vector<std::string> requests;
std::vector<std::function<void()>> input;
uint64_t now = 1000;

namespace {

int nextWindow = 1;
std::deque<BackendWindow> windows;  // a deque keeps them where they are as it grows
std::deque<BackendContext> contexts;

}  // namespace

void reset() {
    requests.clear();
    input.clear();
    nextWindow = 1;
}

}  // namespace fake

namespace {

void say(const std::string& request) { fake::requests.push_back(request); }

std::string size(int width, int height) { return std::to_string(width) + "x" + std::to_string(height); }

BackendWindow* made(const BackendWindowSettings& settings, const std::string& kind) {
    fake::windows.push_back({fake::nextWindow++});
    const std::string place =
        settings.placed ? std::to_string(settings.x) + "," + std::to_string(settings.y) : "anywhere";
    say(kind + " " + std::to_string(fake::windows.back().id) + " " + place + " " +
        size(settings.width, settings.height));
    return &fake::windows.back();
}

}  // namespace

void backendStart() {}

void backendScreenSize(int* width, int* height) {
    *width = 1280;
    *height = 1024;
}

void backendChannelMasks(uint32_t* red, uint32_t* green, uint32_t* blue) {
    *red = 0xFF0000;
    *green = 0xFF00;
    *blue = 0xFF;
}

uint64_t backendMilliseconds() { return fake::now; }

BackendWindow* backendCreateWindow(const BackendWindowSettings& settings) { return made(settings, "create"); }

bool backendGlAvailable() { return true; }

BackendWindow* backendCreateGlWindow(const BackendWindowSettings& settings, int depthBits,
                                     int* gotDepthBits) {
    *gotDepthBits = depthBits;
    return made(settings, "create-gl");
}

void backendDestroyWindow(BackendWindow* window) { say("destroy " + std::to_string(window->id)); }

void backendShowWindow(BackendWindow* window, BackendShow how) {
    const char* names[] = {"hide", "show", "minimize", "maximize"};
    say(std::string(names[int(how)]) + " " + std::to_string(window->id));
}

void backendMoveWindow(BackendWindow*, int x, int y) {
    say("move " + std::to_string(x) + "," + std::to_string(y));
}

void backendSizeWindow(BackendWindow*, int width, int height) { say("size " + size(width, height)); }

void backendRaiseWindow(BackendWindow* window) { say("raise " + std::to_string(window->id)); }

void backendCaptureMouse(BackendWindow* window) {
    say(window != nullptr ? "capture " + std::to_string(window->id) : "capture off");
}

BackendContext* backendCreateContext(BackendWindow*) {
    fake::contexts.push_back({int(fake::contexts.size()) + 1});
    return &fake::contexts.back();
}

bool backendMakeCurrent(BackendWindow*, BackendContext* context) {
    say(context != nullptr ? "current " + std::to_string(context->id) : "current none");
    return true;
}

void backendDeleteContext(BackendContext* context) { say("delete context " + std::to_string(context->id)); }

void backendSwapBuffers(BackendWindow* window) { say("swap " + std::to_string(window->id)); }

void backendPumpEvents() {
    std::vector<std::function<void()>> given;
    given.swap(fake::input);
    for (const auto& call : given) call();
}

// A wait with no timer due would never end here: the test forgot to give input.
void backendWait(int64_t timeoutMs) {
    if (timeoutMs < 0) {
        std::fprintf(stderr, "fake backend: waiting for input that never comes\n");
        std::abort();
    }
    fake::now += uint64_t(timeoutMs);
}

bool backendMessageBox(BackendWindow*, const char* caption, const char* text, bool error) {
    say(std::string(error ? "error box " : "box ") + caption + ": " + text);
    return true;
}
