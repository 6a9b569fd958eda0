// The message loop: runs the idle hook while the queue is empty, then waits for and dispatches
// the next message, until WM_QUIT.
#include "app/message_loop.h"

#include "platform/win32.h"
#include "scene/viewer_state.h"

namespace {

// The exit code when GetMessageA itself fails: the message record then holds nothing of use.
const int queueErrorExitCode = 1;

}  // namespace

int runMessageLoop() {
    MSG message = {};
    for (;;) {
        // idleFunc is read again before every call, so a hook that removes itself ends this.
        while (idleFunc != nullptr) {
            if (PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE)) break;
            idleFunc();
        }
        const BOOL result = GetMessageA(&message, nullptr, 0, 0);
        if (result == -1) return queueErrorExitCode;
        if (result != 1) return int(message.wParam);
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}
