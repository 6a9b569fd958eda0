// OpenGL in a page: a WebGL 2 context on a window's canvas, made current for the program's GL
// calls. The browser shows what was drawn once the page gets control back, so a swap waits for
// the next animation frame: that is when the frame reaches the display, and it keeps a program
// that draws frame after frame at one frame per refresh (as WGL's swap interval of 1 does)
// while the page stays responsive.
#include <emscripten/html5_webgl.h>

#include "platform/web/web_backend.h"

namespace {

// The contexts' handles are numbers; the core holds them as pointers.
BackendContext* webContext(EMSCRIPTEN_WEBGL_CONTEXT_HANDLE handle) {
    return reinterpret_cast<BackendContext*>(handle);
}

EMSCRIPTEN_WEBGL_CONTEXT_HANDLE webHandle(BackendContext* context) {
    return reinterpret_cast<EMSCRIPTEN_WEBGL_CONTEXT_HANDLE>(context);
}

}  // namespace

// Asked once: a browser does not gain or lose WebGL 2 while a page runs.
bool backendGlAvailable() {
    static const bool available = webProbeWebGl2DepthBits() > 0;
    return available;
}

// Windows' pixel formats have no alpha and no multisampling; the drawing buffer is kept after
// it is shown, as a window's is, so that what is drawn can be read back at any time.
BackendContext* backendCreateContext(BackendWindow* window) {
    EmscriptenWebGLContextAttributes attributes;
    emscripten_webgl_init_context_attributes(&attributes);
    attributes.majorVersion = 2;
    attributes.minorVersion = 0;
    attributes.alpha = EM_FALSE;
    attributes.depth = EM_TRUE;
    attributes.antialias = EM_FALSE;
    attributes.preserveDrawingBuffer = EM_TRUE;
    const EMSCRIPTEN_WEBGL_CONTEXT_HANDLE handle =
        emscripten_webgl_create_context(window->selector.c_str(), &attributes);
    return handle > 0 ? webContext(handle) : nullptr;
}

bool backendMakeCurrent(BackendWindow*, BackendContext* context) {
    return emscripten_webgl_make_context_current(webHandle(context)) == EMSCRIPTEN_RESULT_SUCCESS;
}

void backendDeleteContext(BackendContext* context) { emscripten_webgl_destroy_context(webHandle(context)); }

void backendSwapBuffers(BackendWindow*) { webWaitForFrame(); }
