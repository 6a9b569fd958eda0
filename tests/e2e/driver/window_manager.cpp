// openbox under a test, and EWMH/ICCCM requests to it on a connection of our own.
#include "driver/window_manager.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <poll.h>

#include <stdexcept>

namespace e2e {

namespace {

// True once a window manager has announced itself on the root window, as EWMH asks.
bool managed(Display* display) {
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    const Atom check = XInternAtom(display, "_NET_SUPPORTING_WM_CHECK", False);
    const bool found = XGetWindowProperty(display, DefaultRootWindow(display), check, 0, 1, False, XA_WINDOW, &type,
                                          &format, &count, &after, &data) == Success &&
                       count == 1;
    if (data != nullptr)
        XFree(data);
    return found;
}

}  // namespace

std::unique_ptr<WindowManager> WindowManager::start(const std::string& display, const std::string& logPath,
                                                    Millis timeout) {
    Display* connection = XOpenDisplay(display.c_str());
    if (connection == nullptr)
        throw std::runtime_error("cannot open X display " + display);
    Command command({"/usr/bin/openbox", "--sm-disable"});
    command.setEnv = {{"DISPLAY", display}};
    command.logPath = logPath;
    Process process = Process::start(command);
    if (!waitUntil([&] { return managed(connection); }, timeout, Millis(50))) {
        process.terminate();
        XCloseDisplay(connection);
        throw std::runtime_error("openbox did not take the screen (see " + logPath + ")");
    }
    return std::unique_ptr<WindowManager>(new WindowManager(std::move(process), connection));
}

WindowManager::~WindowManager() {
    process_.terminate();
    XCloseDisplay(display_);
}

void WindowManager::sendToRoot(unsigned long window, const char* message, long l0, long l1, long l2) {
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display_, message, False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = l0;
    event.xclient.data.l[1] = l1;
    event.xclient.data.l[2] = l2;
    event.xclient.data.l[3] = 2;  // from a pager: a user's request
    XSendEvent(display_, DefaultRootWindow(display_), False, SubstructureRedirectMask | SubstructureNotifyMask,
               &event);
    XSync(display_, False);
}

void WindowManager::maximize(unsigned long window) {
    const long add = 1;
    sendToRoot(window, "_NET_WM_STATE", add, long(XInternAtom(display_, "_NET_WM_STATE_MAXIMIZED_VERT", False)),
               long(XInternAtom(display_, "_NET_WM_STATE_MAXIMIZED_HORZ", False)));
}

void WindowManager::minimize(unsigned long window) {
    XIconifyWindow(display_, window, DefaultScreen(display_));
    XSync(display_, False);
}

void WindowManager::activate(unsigned long window) {
    const long fromPager = 2;
    sendToRoot(window, "_NET_ACTIVE_WINDOW", fromPager, CurrentTime, 0);
}

void WindowManager::watchSize(unsigned long window) {
    XSelectInput(display_, window, StructureNotifyMask);
    XSync(display_, False);
    while (XPending(display_) > 0) {
        XEvent event;
        XNextEvent(display_, &event);
    }
}

bool WindowManager::waitForOtherSize(int width, int height, Millis timeout) {
    const Clock::time_point deadline = Clock::now() + timeout;
    for (;;) {
        while (XPending(display_) > 0) {
            XEvent event;
            XNextEvent(display_, &event);
            if (event.type == ConfigureNotify && (event.xconfigure.width != width || event.xconfigure.height != height))
                return true;
        }
        const auto left = std::chrono::duration_cast<Millis>(deadline - Clock::now()).count();
        if (left <= 0)
            return false;
        pollfd connection = {ConnectionNumber(display_), POLLIN, 0};
        ::poll(&connection, 1, static_cast<int>(left));
    }
}

}  // namespace e2e
