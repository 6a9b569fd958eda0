// Feeds long random sequences of window messages to the window procedure, with a real offscreen
// OpenGL behind it and the idle hook run now and then as the message loop would, and checks
// after each message that the viewer's state is still sound. Built in the linux-asan preset,
// whose sanitizers stop the run at the first fault they see.
// Usage: window_procedure_fuzz MESSAGES [STREAM]   (STREAM picks the random sequence; default 1)
#include "app/window_procedure.h"
#include "scene/redraw.h"
#include "scene/viewer_state.h"
#include "tests/render/offscreen.h"
#include "tests/support/recorder.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <random>

namespace {

std::mt19937_64 randomBits;
int below(int n) { return int(randomBits() % uint64_t(n)); }

void sendRandomMessage() {
    // The keys of packaging/controls.cmake and the steps, capitals and another letter.
    static const WPARAM characters[] = {'f', 'p', 'j', 'k', 'F', 'P', 'x', 27};
    static const UINT messages[] = {WM_MOUSEMOVE,       WM_MOUSEMOVE,      WM_MOUSEMOVE, WM_LBUTTONDOWN,
                                    WM_LBUTTONUP,       WM_CHAR,           WM_PAINT,     WM_SIZE,
                                    WM_QUERYNEWPALETTE, WM_PALETTECHANGED, WM_TIMER,     0};
    UINT message = messages[below(sizeof messages / sizeof *messages)];
    WPARAM wParam = below(2) ? WPARAM(fakeWindow) : WPARAM(randomBits());
    if (message == WM_CHAR) wParam = below(3) ? characters[below(8)] : WPARAM(below(256));
    if (message == 0) message = UINT(below(0x400));  // anything else, created and destroyed included
    // Positions mostly in or near the 819 x 819 window, sometimes any bits at all.
    const bool position = message >= WM_MOUSEMOVE && below(4) != 0;
    WndProc(fakeWindow, message, wParam,
            position ? MAKELPARAM(below(1019) - 100, below(1019) - 100) : LPARAM(randomBits()));
}

// What every message must leave sound; what is wrong, or nullptr.
const char* stateFault() {
    for (int flag : {fogEnabled, wireframe, animating, spinning, tracking})
        if (flag != 0 && flag != 1) return "a flag holds something other than 0 or 1";
    if (idleFunc != nullptr && idleFunc != idleFrame) return "an unknown idle hook";
    if (!(spinAngle >= 0.0f && spinAngle <= 180.0f)) return "spinAngle out of range";
    if (!std::isfinite(spinAxis.x + spinAxis.y + spinAxis.z)) return "spinAxis not finite";
    if (!(rotationError(rotationMatrix) < 1e-4)) return "rotationMatrix is no longer a rotation";
    return nullptr;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return std::fprintf(stderr, "usage: %s MESSAGES [STREAM]\n", argv[0]), 2;
    const unsigned long stream = argc > 2 ? std::strtoul(argv[2], nullptr, 10) : 1;
    randomBits = std::mt19937_64(stream);
    Offscreen gl(32);  // small, so frames are quick
    if (!gl.ok()) return std::fprintf(stderr, "no offscreen OpenGL\n"), 1;
    resetRecorder();
    windowWidth = windowHeight = 819;
    fakeWin32.windowProc = WndProc;
    WndProc(fakeWindow, WM_CREATE, 0, 0);
    long frames = 0, messages = std::atol(argv[1]);
    for (long i = 0; i < messages;
         ++i, trace.clear(), fakeWin32.queue.clear()) {  // quit messages of windows destroyed on the way
        sendRandomMessage();
        if (idleFunc != nullptr && below(16) == 0) idleFunc(), ++frames;
        if (const char* fault = stateFault())
            return std::fprintf(stderr, "message %ld of stream %lu: %s\n", i, stream, fault), 1;
    }
    std::printf("%ld messages, %ld frames (stream %lu): no fault found\n", messages, frames, stream);
}
