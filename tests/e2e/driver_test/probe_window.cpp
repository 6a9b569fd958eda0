// A tiny X program for the driver's own test: a window whose colour shows what input it got.
//   red at start; "g" green; "G" blue; a click (press and release at one spot) white;
//   a drag (release elsewhere) yellow; Esc ends the program with exit code 7.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>

#include <cstdio>

int main() {
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        std::fprintf(stderr, "probe_window: cannot open display\n");
        return 2;
    }
    const int screen = DefaultScreen(display);
    Window window = XCreateSimpleWindow(display, RootWindow(display, screen), 30, 40, 200, 100, 0, 0, 0xff0000);
    XStoreName(display, window, "e2e probe");
    XSelectInput(display, window, ExposureMask | KeyPressMask | ButtonPressMask | ButtonReleaseMask);
    XMapWindow(display, window);

    unsigned long colour = 0xff0000;
    int pressX = -1, pressY = -1;
    for (;;) {
        XEvent event;
        XNextEvent(display, &event);
        if (event.type == KeyPress) {
            char text[8] = {};
            KeySym keysym = NoSymbol;
            XLookupString(&event.xkey, text, sizeof text - 1, &keysym, nullptr);
            if (keysym == XK_Escape)
                break;
            if (keysym == XK_g)
                colour = 0x00ff00;
            else if (keysym == XK_G)
                colour = 0x0000ff;
        } else if (event.type == ButtonPress) {
            pressX = event.xbutton.x;
            pressY = event.xbutton.y;
            continue;
        } else if (event.type == ButtonRelease) {
            colour = (event.xbutton.x == pressX && event.xbutton.y == pressY) ? 0xffffff : 0xffff00;
        }
        XSetWindowBackground(display, window, colour);
        XClearWindow(display, window);
        XFlush(display);
    }
    XDestroyWindow(display, window);
    XCloseDisplay(display);
    return 7;
}
