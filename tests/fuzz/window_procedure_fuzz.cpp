// Feeds long random sequences of window messages to the window procedure, with a real offscreen
// OpenGL context behind it and the idle hook run whenever the "queue" runs dry, and checks after
// each message that the viewer's state is still sound. Built with AddressSanitizer and
// UndefinedBehaviorSanitizer, which stop the run at the first fault they see.
//
// Usage: window_procedure_fuzz MESSAGES [STREAM]   (STREAM picks the random sequence; default 1)
#include "app/window_procedure.h"
#include "scene/redraw.h"
#include "scene/viewer_state.h"
#include "tests/render/offscreen_context.h"
#include "tests/support/fake_win32.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <random>

namespace {

const int side = 819;

struct Run {
    std::mt19937_64 random;
    long frames = 0;
    long creations = 0;

    int below(int n) { return int(random() % uint64_t(n)); }

    // Mouse coordinates: mostly inside or near the window, sometimes anywhere a 16-bit half holds.
    LPARAM mousePosition() {
        switch (below(4)) {
        case 0:
            return LPARAM(random());  // any bits, including the upper half of a 64-bit lParam
        case 1:
            return MAKELPARAM(below(65536), below(65536));
        default:
            return MAKELPARAM(below(side + 200) - 100, below(side + 200) - 100);
        }
    }

    WPARAM character() {
        static const char common[] = {'f', 'p', 'j', 'k', 'F', 'P', 'x', ' ', 27};
        return below(3) == 0 ? WPARAM(below(256)) : WPARAM(common[below(sizeof common)]);
    }

    void send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) { WndProc(fakeWindow, message, wParam, lParam); }

    void create() {
        send(WM_CREATE);
        ++creations;
    }

    void sendRandomMessage() {
        switch (below(16)) {
        case 0: case 1: case 2: case 3: send(WM_MOUSEMOVE, MK_LBUTTON, mousePosition()); break;
        case 4: case 5: send(WM_LBUTTONDOWN, MK_LBUTTON, mousePosition()); break;
        case 6: case 7: send(WM_LBUTTONUP, 0, mousePosition()); break;
        case 8: send(WM_CHAR, character(), LPARAM(random())); break;
        case 9: send(WM_PAINT); break;
        case 10: send(WM_SIZE, WPARAM(below(5)), mousePosition()); break;
        case 11: send(WM_QUERYNEWPALETTE); break;
        case 12: send(WM_PALETTECHANGED, below(2) ? WPARAM(fakeWindow) : WPARAM(random())); break;
        case 13: send(WM_TIMER, 1); break;
        case 14: send(UINT(below(0x400)), WPARAM(random()), LPARAM(random())); break;
        default:
            // Rarely the window goes away and a new one is made, as after Esc and a restart.
            if (below(200) == 0) {
                send(WM_DESTROY);
                create();
            } else {
                send(WM_MOUSEMOVE, 0, mousePosition());
            }
        }
    }

    // The loop runs the hook only when no message is waiting; here that is one time in sixteen.
    void maybeIdle() {
        if (idleFunc != nullptr && below(16) == 0) {
            idleFunc();
            ++frames;
        }
    }
};

bool isFlag(int value) { return value == 0 || value == 1; }

// The state every message must leave sound; returns what is wrong, or nullptr.
const char* stateFault() {
    for (int flag : {fogEnabled, wireframe, animating, spinning, tracking})
        if (!isFlag(flag)) return "a flag holds something other than 0 or 1";
    if (idleFunc != nullptr && idleFunc != idleFrame) return "an unknown idle hook";
    if (!std::isfinite(spinAngle) || spinAngle < 0.0f || spinAngle > 180.0f) return "spinAngle out of range";
    if (!std::isfinite(spinAxis.x) || !std::isfinite(spinAxis.y) || !std::isfinite(spinAxis.z)) return "spinAxis not finite";
    if (stepValue < 0.01f || stepValue > 1.05f) return "stepValue outside its bounds";
    for (int a = 0; a < 3; ++a) {
        for (int b = 0; b < 3; ++b) {
            double dot = 0;
            for (int i = 0; i < 3; ++i) dot += double(rotationMatrix[4 * a + i]) * rotationMatrix[4 * b + i];
            if (!(std::fabs(dot - (a == b ? 1.0 : 0.0)) < 1e-4)) return "rotationMatrix is no longer a rotation";
        }
    }
    return nullptr;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2 || argc > 3) {
        std::fprintf(stderr, "usage: %s MESSAGES [STREAM]\n", argv[0]);
        return 2;
    }
    long messages = std::atol(argv[1]);
    unsigned long stream = argc == 3 ? std::strtoul(argv[2], nullptr, 10) : 1;

    // A small drawing surface keeps frames quick; the trackball still works on the 819 window.
    OffscreenContext context(32, 32);
    if (!context.ok()) {
        std::fprintf(stderr, "no offscreen OpenGL context\n");
        return 1;
    }
    resetFakeWin32();
    fakeWin32.screenHeight = 1024;
    windowWidth = windowHeight = side;
    fakeWin32.registeredClass.lpfnWndProc = WndProc;

    Run run{std::mt19937_64(stream)};
    run.create();
    for (long i = 0; i < messages; ++i) {
        run.sendRandomMessage();
        run.maybeIdle();
        if (const char* fault = stateFault()) {
            std::fprintf(stderr, "message %ld of stream %lu: %s\n", i, stream, fault);
            return 1;
        }
        if (win32Calls.size() > 4096) win32Calls.clear();
    }
    std::printf("%ld messages, %ld frames, %ld windows made (stream %lu): no fault found\n", messages, run.frames,
                run.creations, stream);
    return 0;
}
