// OpenGL in a page: a WebGL 2 context on a window's canvas, made current for the program's GL
// calls. The browser shows what was drawn once the page gets control back, so a swap waits for
// the next animation frame: that is when the frame reaches the display, and it keeps a program
// that draws frame after frame at one frame per refresh (as WGL's swap interval of 1 does)
// while the page stays responsive.
//
// A browser may lose a context (a GPU reset, a phone's page in the background) and give it back
// without what was made in it. The page keeps it restorable; meanwhile its GL calls do nothing.
// The GL library lets go of what it made in a context when the context is lost, and when it is
// deleted, as a GL driver does when WGL deletes a context. Once a lost context is back it gets a
// new html5.h handle, which a GL library over WebGL takes for a context it has not seen (and so
// makes its objects in it afresh), and the window is repainted, as Windows repaints a window that
// was covered.
#include <emscripten/html5_webgl.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "platform/web/web_backend.h"

struct BackendContext {
    BackendWindow* window;
    EMSCRIPTEN_WEBGL_CONTEXT_HANDLE handle;
};

namespace {

std::vector<std::unique_ptr<BackendContext>> webContexts;

// Windows' pixel formats have no alpha and no multisampling; the drawing buffer is kept after
// it is shown, as a window's is, so that what is drawn can be read back at any time.
EMSCRIPTEN_WEBGL_CONTEXT_HANDLE webMakeHandle(const BackendWindow* window) {
    EmscriptenWebGLContextAttributes attributes;
    emscripten_webgl_init_context_attributes(&attributes);
    attributes.majorVersion = 2;
    attributes.minorVersion = 0;
    attributes.alpha = EM_FALSE;
    attributes.depth = EM_TRUE;
    attributes.antialias = EM_FALSE;
    attributes.preserveDrawingBuffer = EM_TRUE;
    return emscripten_webgl_create_context(window->selector.c_str(), &attributes);
}

}  // namespace

// Asked once: a browser does not gain or lose WebGL 2 while a page runs.
bool backendGlAvailable() {
    static const bool available = webProbeWebGl2DepthBits() > 0;
    return available;
}

BackendContext* backendCreateContext(BackendWindow* window) {
    const EMSCRIPTEN_WEBGL_CONTEXT_HANDLE handle = webMakeHandle(window);
    if (handle <= 0) return nullptr;
    webContexts.push_back(std::make_unique<BackendContext>(BackendContext{window, handle}));
    return webContexts.back().get();
}

bool backendMakeCurrent(BackendWindow*, BackendContext* context) {
    return emscripten_webgl_make_context_current(context != nullptr ? context->handle : 0) ==
           EMSCRIPTEN_RESULT_SUCCESS;
}

void backendDeleteContext(BackendContext* context) {
    webglReleaseContext(context->handle);
    emscripten_webgl_destroy_context(context->handle);
    webContexts.erase(std::find_if(webContexts.begin(), webContexts.end(),
                                   [context](const auto& live) { return live.get() == context; }));
}

void backendSwapBuffers(BackendWindow*) { webWaitForFrame(); }

void webContextLost(BackendWindow* window) {
    for (const auto& context : webContexts)
        if (context->window == window) webglReleaseContext(context->handle);
}

void webContextRestored(BackendWindow* window) {
    for (const auto& context : webContexts) {
        if (context->window != window) continue;
        const bool current = emscripten_webgl_get_current_context() == context->handle;
        emscripten_webgl_destroy_context(context->handle);
        context->handle = webMakeHandle(window);
        if (current) emscripten_webgl_make_context_current(context->handle);
    }
    coreExposeInput(window->handle);
}
