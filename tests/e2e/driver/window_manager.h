// A window manager on a test's X server: openbox, started and ended through its PID, and the
// requests a user makes of it (maximise, minimise, bring back), sent as a pager would send them.
#pragma once

#include <memory>
#include <string>

#include "driver/process.h"

struct _XDisplay;

namespace e2e {

class WindowManager {
public:
    // Starts openbox on `display` and waits until it manages the screen. Its output goes to
    // `logPath`. Throws std::runtime_error.
    static std::unique_ptr<WindowManager> start(const std::string& display, const std::string& logPath,
                                                Millis timeout = Millis(15000));
    ~WindowManager();  // ends openbox (by its PID)

    // `window` is the client's own X window, not the frame around it.
    void maximize(unsigned long window);
    void minimize(unsigned long window);
    void activate(unsigned long window);  // raises it and gives it the focus, restoring a minimised one

    // Watches a window's size from now on; waitForOtherSize then waits until it has been given a
    // size other than `width` x `height`, however briefly (a program may set its own size back).
    void watchSize(unsigned long window);
    bool waitForOtherSize(int width, int height, Millis timeout);

private:
    WindowManager(Process process, _XDisplay* display) : process_(std::move(process)), display_(display) {}
    void sendToRoot(unsigned long window, const char* message, long l0, long l1, long l2);

    Process process_;
    _XDisplay* display_;
};

}  // namespace e2e
