// Xlib, XTest and XGetImage behind the XClient interface.
#include "driver/x_client.h"

#include <X11/Xlib.h>
#include <X11/XKBlib.h>
#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>
#include <X11/extensions/XTest.h>

#include <poll.h>

#include <cmath>
#include <cstring>
#include <mutex>
#include <stdexcept>
#include <thread>

namespace e2e {

namespace {

// Windows come and go while we look at them; a BadWindow then must not end the test run.
int ignoreXError(::Display*, XErrorEvent*) {
    return 0;
}

// The bit position of the lowest set bit of a colour mask, and the channel's width.
void maskShape(unsigned long mask, int& shift, int& bits) {
    shift = 0;
    bits = 0;
    if (mask == 0)
        return;
    while (((mask >> shift) & 1UL) == 0)
        ++shift;
    while (((mask >> (shift + bits)) & 1UL) != 0)
        ++bits;
}

std::uint8_t channel(unsigned long pixel, int shift, int bits) {
    if (bits == 0)
        return 0;
    const unsigned long value = (pixel >> shift) & ((1UL << bits) - 1);
    return static_cast<std::uint8_t>(bits >= 8 ? value >> (bits - 8) : (value * 255) / ((1UL << bits) - 1));
}

}  // namespace

XClient::XClient(const std::string& display) {
    static std::once_flag handlerInstalled;
    std::call_once(handlerInstalled, [] { XSetErrorHandler(ignoreXError); });

    display_ = XOpenDisplay(display.c_str());
    if (display_ == nullptr)
        throw std::runtime_error("cannot open X display " + display);
    int eventBase, errorBase, major, minor;
    if (!XTestQueryExtension(display_, &eventBase, &errorBase, &major, &minor)) {
        XCloseDisplay(display_);
        throw std::runtime_error("X display " + display + " has no XTEST extension");
    }
    netWmName_ = XInternAtom(display_, "_NET_WM_NAME", False);
    utf8String_ = XInternAtom(display_, "UTF8_STRING", False);
}

XClient::~XClient() {
    XCloseDisplay(display_);
}

int XClient::screenWidth() const {
    return DisplayWidth(display_, DefaultScreen(display_));
}

int XClient::screenHeight() const {
    return DisplayHeight(display_, DefaultScreen(display_));
}

std::string XClient::titleOf(Window window) {
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(display_, window, netWmName_, 0, 4096, False, utf8String_, &type, &format, &count, &after,
                           &data) == Success &&
        data != nullptr) {
        std::string title;
        if (type == utf8String_ && format == 8)
            title.assign(reinterpret_cast<char*>(data), count);
        XFree(data);
        if (type == utf8String_ && format == 8)
            return title;
    }
    XTextProperty text = {};
    if (XGetWMName(display_, window, &text) != 0 && text.value != nullptr) {
        std::string title(reinterpret_cast<char*>(text.value), text.nitems);
        XFree(text.value);
        return title;
    }
    return {};
}

void XClient::collect(Window parent, std::vector<WindowInfo>& out) {
    Window root = 0, parentOfParent = 0;
    Window* children = nullptr;
    unsigned int count = 0;
    if (XQueryTree(display_, parent, &root, &parentOfParent, &children, &count) == 0)
        return;
    std::vector<Window> list(children, children + count);
    if (children != nullptr)
        XFree(children);
    for (Window child : list) {
        if (std::optional<WindowInfo> info = windowInfo(child)) {
            out.push_back(*info);
            collect(child, out);
        }
    }
}

std::optional<WindowInfo> XClient::windowInfo(Window window) {
    XWindowAttributes attributes;
    if (XGetWindowAttributes(display_, window, &attributes) == 0)
        return std::nullopt;
    int rootX = 0, rootY = 0;
    Window ignored;
    if (!XTranslateCoordinates(display_, window, DefaultRootWindow(display_), 0, 0, &rootX, &rootY, &ignored))
        return std::nullopt;
    WindowInfo info;
    info.id = window;
    info.title = titleOf(window);
    info.rect = {rootX, rootY, attributes.width, attributes.height};
    info.viewable = attributes.map_state == IsViewable;
    return info;
}

std::vector<WindowInfo> XClient::allWindows() {
    std::vector<WindowInfo> result;
    collect(DefaultRootWindow(display_), result);
    return result;
}

std::vector<WindowInfo> XClient::findWindows(const std::string& title) {
    std::vector<WindowInfo> result;
    for (const WindowInfo& info : allWindows())
        if (info.viewable && info.title == title)
            result.push_back(info);
    return result;
}

std::optional<WindowInfo> XClient::waitForWindow(const std::string& title, Millis timeout) {
    std::optional<WindowInfo> found;
    waitUntil(
        [&] {
            const std::vector<WindowInfo> windows = findWindows(title);
            if (!windows.empty())
                found = windows.front();
            return found.has_value();
        },
        timeout, Millis(50));
    return found;
}

bool XClient::waitForNoWindow(const std::string& title, Millis timeout) {
    return waitUntil([&] { return findWindows(title).empty(); }, timeout, Millis(50));
}

std::string XClient::describeWindows() {
    std::string text;
    for (const WindowInfo& info : allWindows())
        if (info.viewable)
            text += "  \"" + info.title + "\" " + info.rect.describe() + "\n";
    return text.empty() ? "  (no viewable windows)\n" : text;
}

void XClient::moveResizeWindow(Window window, const Rect& rect) {
    XMoveResizeWindow(display_, window, rect.x, rect.y, static_cast<unsigned>(rect.width),
                      static_cast<unsigned>(rect.height));
    sync();
}

void XClient::resizeWindow(Window window, int width, int height) {
    XResizeWindow(display_, window, static_cast<unsigned>(width), static_cast<unsigned>(height));
    sync();
}

Image XClient::grab(const Rect& area) {
    const Rect part = area.intersect({0, 0, screenWidth(), screenHeight()});
    if (part.empty())
        return {};
    XImage* shot = XGetImage(display_, DefaultRootWindow(display_), part.x, part.y, static_cast<unsigned>(part.width),
                             static_cast<unsigned>(part.height), AllPlanes, ZPixmap);
    if (shot == nullptr)
        throw std::runtime_error("XGetImage failed for " + part.describe());
    int redShift, redBits, greenShift, greenBits, blueShift, blueBits;
    maskShape(shot->red_mask, redShift, redBits);
    maskShape(shot->green_mask, greenShift, greenBits);
    maskShape(shot->blue_mask, blueShift, blueBits);
    // 32-bit pixels in our own byte order (what Xvfb gives at depth 24) are read directly;
    // anything else goes through XGetPixel.
    const bool direct =
        shot->bits_per_pixel == 32 && shot->byte_order == LSBFirst && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__;
    Image image(part.width, part.height);
    for (int y = 0; y < part.height; ++y)
        for (int x = 0; x < part.width; ++x) {
            unsigned long pixel;
            if (direct) {
                std::uint32_t word;
                std::memcpy(&word, shot->data + static_cast<size_t>(y) * shot->bytes_per_line + 4 * x, 4);
                pixel = word;
            } else {
                pixel = XGetPixel(shot, x, y);
            }
            image.set(x, y,
                      {channel(pixel, redShift, redBits), channel(pixel, greenShift, greenBits),
                       channel(pixel, blueShift, blueBits)});
        }
    XDestroyImage(shot);
    return image;
}

Image XClient::grabScreen() {
    return grab({0, 0, screenWidth(), screenHeight()});
}

void XClient::movePointer(int x, int y) {
    XTestFakeMotionEvent(display_, DefaultScreen(display_), x, y, CurrentTime);
    sync();
}

void XClient::pressButton(int button) {
    XTestFakeButtonEvent(display_, static_cast<unsigned>(button), True, CurrentTime);
    sync();
}

void XClient::releaseButton(int button) {
    XTestFakeButtonEvent(display_, static_cast<unsigned>(button), False, CurrentTime);
    sync();
}

void XClient::movePointerAlong(int x0, int y0, int x1, int y1, int steps, Millis pause) {
    for (int i = 1; i <= steps; ++i) {
        movePointer(x0 + static_cast<int>(std::lround(double(x1 - x0) * i / steps)),
                    y0 + static_cast<int>(std::lround(double(y1 - y0) * i / steps)));
        std::this_thread::sleep_for(pause);
    }
}

void XClient::fakeKey(unsigned int keycode, bool down) {
    XTestFakeKeyEvent(display_, keycode, down ? True : False, CurrentTime);
    sync();
}

void XClient::typeKey(unsigned long keysym) {
    const KeyCode keycode = XKeysymToKeycode(display_, keysym);
    if (keycode == 0)
        throw std::runtime_error("no key produces keysym " + std::to_string(keysym));
    const bool shifted =
        XkbKeycodeToKeysym(display_, keycode, 0, 0) != keysym && XkbKeycodeToKeysym(display_, keycode, 0, 1) == keysym;
    const KeyCode shift = XKeysymToKeycode(display_, XK_Shift_L);
    if (shifted)
        fakeKey(shift, true);
    fakeKey(keycode, true);
    fakeKey(keycode, false);
    if (shifted)
        fakeKey(shift, false);
}

void XClient::focusUnderPointer() {
    XSetInputFocus(display_, PointerRoot, RevertToPointerRoot, CurrentTime);
    sync();
}

bool XClient::waitForMapping(Millis timeout) {
    if (!watchingMaps_) {
        XSelectInput(display_, DefaultRootWindow(display_), SubstructureNotifyMask);
        sync();
        watchingMaps_ = true;
    }
    if (XPending(display_) == 0) {
        pollfd connection = {ConnectionNumber(display_), POLLIN, 0};
        ::poll(&connection, 1, static_cast<int>(timeout.count()));
    }
    bool mapped = false;
    while (XPending(display_) > 0) {
        XEvent event;
        XNextEvent(display_, &event);
        mapped = mapped || event.type == MapNotify;
    }
    return mapped;
}

void XClient::sync() {
    XSync(display_, False);
}

}  // namespace e2e
