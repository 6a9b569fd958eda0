// The bare reference for the native build: the same scene set-up and the same frame, drawn by
// the same core code, in a plain Xlib window with a GLX context and nothing else around it: no
// allocator tuning, no vsync control. It draws until the window is closed or Esc is pressed.
#include "scene/scene.h"
#include "scene/viewer_state.h"

#include <GL/gl.h>
#include <GL/glx.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>

#include <cstdio>

namespace {

// The size the program's window has on a 1024-pixel-high screen.
const int windowSide = 819;

Display* display = nullptr;
Window window = 0;

// The program asks for 16 depth bits and gets the format closest to that; GLX's own choice
// would be the deepest buffer. So the visual here is a double-buffered RGBA one with exactly 16
// depth bits and no stencil, as the program's.
XVisualInfo* chooseVisual() {
    int attributes[] = {GLX_X_RENDERABLE,
                        True,
                        GLX_DRAWABLE_TYPE,
                        GLX_WINDOW_BIT,
                        GLX_RENDER_TYPE,
                        GLX_RGBA_BIT,
                        GLX_DOUBLEBUFFER,
                        True,
                        GLX_DEPTH_SIZE,
                        16,
                        None};
    int count = 0;
    GLXFBConfig* configs = glXChooseFBConfig(display, DefaultScreen(display), attributes, &count);
    XVisualInfo* chosen = nullptr;
    for (int i = 0; i < count && chosen == nullptr; ++i) {
        int depth = 0, stencil = 0;
        glXGetFBConfigAttrib(display, configs[i], GLX_DEPTH_SIZE, &depth);
        glXGetFBConfigAttrib(display, configs[i], GLX_STENCIL_SIZE, &stencil);
        if (depth == 16 && stencil == 0) chosen = glXGetVisualFromFBConfig(display, configs[i]);
    }
    if (configs != nullptr) XFree(configs);
    return chosen;
}

}  // namespace

// The core presents each frame through this; here it is GLX's swap of the one window.
BOOL WINAPI SwapBuffers(HDC) {
    glXSwapBuffers(display, window);
    return TRUE;
}

int main() {
    display = XOpenDisplay(nullptr);
    XVisualInfo* visual = display != nullptr ? chooseVisual() : nullptr;
    if (visual == nullptr)
        return std::fprintf(stderr, "glx_loop: no X display, or no RGBA visual with 16 depth bits\n"), 1;

    const Window root = RootWindow(display, visual->screen);
    XSetWindowAttributes attributes = {};
    attributes.colormap = XCreateColormap(display, root, visual->visual, AllocNone);
    attributes.event_mask = StructureNotifyMask | KeyPressMask;
    window = XCreateWindow(display, root, 50, 50, windowSide, windowSide, 0, visual->depth, InputOutput,
                           visual->visual, CWColormap | CWEventMask, &attributes);
    XStoreName(display, window, "glx_loop");
    Atom deleteWindow = XInternAtom(display, "WM_DELETE_WINDOW", False);
    XSetWMProtocols(display, window, &deleteWindow, 1);

    GLXContext context = glXCreateContext(display, visual, nullptr, True);
    XFree(visual);
    XMapWindow(display, window);
    XEvent event;
    do XNextEvent(display, &event);
    while (event.type != MapNotify);
    glXMakeCurrent(display, window, context);

    windowWidth = windowHeight = windowSide;
    initScene();
    for (;;) {
        while (XPending(display) > 0) {
            XNextEvent(display, &event);
            if ((event.type == ClientMessage && Atom(event.xclient.data.l[0]) == deleteWindow) ||
                (event.type == KeyPress && XLookupKeysym(&event.xkey, 0) == XK_Escape))
                return XCloseDisplay(display), 0;
        }
        renderFrame();
    }
}
