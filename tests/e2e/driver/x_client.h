// A client connection to an X display for driving and watching programs: windows found by
// title, screenshots through XGetImage, pointer and keyboard input through XTest only.
//
// NOTE: input goes through XTest because Wine ignores events sent with XSendEvent. With no
// window manager the keyboard focus follows the pointer: move the pointer over a window before
// typing to it.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "driver/image.h"
#include "driver/wait.h"

// Xlib's own types, without its macros in every file that drives a display.
struct _XDisplay;

namespace e2e {

using WindowId = unsigned long;  // an X window ID (Xlib's Window)

struct WindowInfo {
    WindowId id = 0;
    std::string title;  // _NET_WM_NAME, else WM_NAME; empty if neither is set
    Rect rect;          // inside the border, in root coordinates
    bool viewable = false;
};

class XClient {
public:
    // Connects to `display` (e.g. ":7"); throws std::runtime_error if it cannot, or if the
    // server lacks the XTEST extension.
    explicit XClient(const std::string& display);
    ~XClient();
    XClient(const XClient&) = delete;
    XClient& operator=(const XClient&) = delete;

    _XDisplay* raw() const { return display_; }
    int screenWidth() const;
    int screenHeight() const;

    // ---- Windows -------------------------------------------------------------------------------
    // Every window below the root, depth first, with its title and geometry. Windows that vanish
    // while they are being read are left out.
    std::vector<WindowInfo> allWindows();
    // The viewable windows whose title is exactly `title`.
    std::vector<WindowInfo> findWindows(const std::string& title);
    // Waits until a viewable window with exactly this title exists.
    std::optional<WindowInfo> waitForWindow(const std::string& title, Millis timeout);
    // Waits until no viewable window with exactly this title is left.
    bool waitForNoWindow(const std::string& title, Millis timeout);
    // The current state of one window, if it still exists.
    std::optional<WindowInfo> windowInfo(WindowId window);
    // Titles of all viewable windows, for failure messages.
    std::string describeWindows();

    // Asks the server to move and resize a window, as a window manager or another client would.
    void moveResizeWindow(WindowId window, const Rect& rect);
    void resizeWindow(WindowId window, int width, int height);

    // ---- Pixels --------------------------------------------------------------------------------
    // What the screen shows inside `area` (clipped to the screen), windows included.
    Image grab(const Rect& area);
    Image grabScreen();

    // ---- Input (XTest) -------------------------------------------------------------------------
    void movePointer(int x, int y);
    void pressButton(int button = 1);
    void releaseButton(int button = 1);
    // Moves in `steps` equal steps from (x0, y0) to (x1, y1), `pause` between steps.
    void movePointerAlong(int x0, int y0, int x1, int y1, int steps, Millis pause);
    // Presses and releases the key producing `keysym` (e.g. XK_f, XK_F, XK_Return, XK_Escape),
    // holding Shift for keysyms on a key's shifted level.
    void typeKey(unsigned long keysym);

    // Gives the keyboard focus to whatever window is under the pointer. With no window manager,
    // a program that set the focus to its own window and then went away can leave it on none.
    void focusUnderPointer();

    // ---- Watching ------------------------------------------------------------------------------
    // Waits up to `timeout` for a top-level window (a child of the root) to be mapped; true if
    // one was. The first call starts the watch, so only maps after it count; a zero timeout
    // just drops what has come since the last call.
    bool waitForMapping(Millis timeout);

    // Sends everything queued and waits until the server has processed it.
    void sync();

private:
    void collect(WindowId parent, std::vector<WindowInfo>& out);
    std::string titleOf(WindowId window);
    void fakeKey(unsigned int keycode, bool down);

    _XDisplay* display_ = nullptr;
    unsigned long netWmName_ = 0;   // Atom
    unsigned long utf8String_ = 0;  // Atom
    bool watchingMaps_ = false;
};

}  // namespace e2e
