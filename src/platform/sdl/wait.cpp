// Sleeping until input may have come: GetMessageA waits here for SDL's display connection or
// its next timer, so a program with nothing to do wakes only for its timers.
#include "platform/sdl/sdl_backend.h"

#include <X11/Xlib.h>
#include <poll.h>

#include <climits>

namespace {

// Sleeps until the X server sends SDL's connection something, or timeoutMs pass (-1: no limit).
// NOTE: an input method that talks to SDL over D-Bus (IBus, Fcitx) is not watched here; text it
// sends late is taken at the next X event (the key's release, at the latest) or timer.
void sdlWaitForX11(Display* display, int timeoutMs) {
    // Events that an earlier call read along with its reply (GLX, say) wait in Xlib's queue,
    // where poll() cannot see them; requests still in Xlib's buffer may be what the server's
    // answer waits for. So flush first, and sleep only while the queue is empty.
    if (XEventsQueued(display, QueuedAfterFlush) > 0) return;
    pollfd connection{ConnectionNumber(display), POLLIN, 0};
    poll(&connection, 1, timeoutMs);
}

}  // namespace

void backendWait(int64_t timeoutMs) {
    const int timeout = static_cast<int>(SDL_min(timeoutMs, int64_t{INT_MAX}));
    if (SDL_HasEvents(SDL_FIRSTEVENT, SDL_LASTEVENT)) {
        return;  // queued by SDL itself (showing a window, say) after its last look at the display
    }
    Display* display = sdlX11Display();
    if (display == nullptr) {
        // NOTE: other video drivers wake SDL's own wait without the X11 fault below; drivers
        // without a wait of their own (dummy, offscreen) make SDL look every millisecond.
        SDL_WaitEventTimeout(nullptr, timeout);
        return;
    }
    // NOTE: no SDL_WaitEventTimeout on X11. SDL 2.26 wakes its own wait by sending an event to
    // a window through a second X connection; when the input that woke it destroys that window
    // (Esc, the close button), the event can reach the X server after the window is gone, and
    // Xlib then ends the process with BadWindow at exit. Waiting on SDL's connection ourselves
    // never sends anything.
    sdlWaitForX11(display, timeout);
}
