// The wait: GetMessageA sleeps here, giving the page control, until input comes or the next
// timer is due. A program with nothing to draw asks for no animation frames, so a stopped viewer
// wakes only for its input and its timer.
#include <climits>

#include "platform/web/web_backend.h"

// NOTE: a wait of 0 ms (a timer due now) still yields up to the next animation frame, never to a
// zero-delay timeout: such timeouts run ahead of the display, and input queued behind a run of
// them is handled seconds late.
void backendWait(int64_t timeoutMs) {
    if (webInputPending()) return;
    if (timeoutMs == 0) {
        webWaitForFrame();
        return;
    }
    webWaitForInput(timeoutMs < 0 ? -1 : static_cast<int>(timeoutMs > INT_MAX ? INT_MAX : timeoutMs));
}
