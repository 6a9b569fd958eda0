// WGL's bookkeeping: the contexts the program made, each on a window whose pixel format is set;
// the backend makes them (legacy, compatibility contexts, as WGL gives) and makes them current.
#include <algorithm>

#include "platform/platform_internal.h"

namespace {

std::vector<BackendContext*> subsetContexts;

bool subsetKnownContext(HGLRC context) {
    return context != nullptr &&
           std::find(subsetContexts.begin(), subsetContexts.end(),
                     reinterpret_cast<BackendContext*>(context)) != subsetContexts.end();
}

}  // namespace

// Makes a context for the device context's window, which needs its pixel format set. NULL where
// the GL cannot make one (no driver, or indirect rendering the X server refuses). The current
// context stays current.
HGLRC WINAPI wglCreateContext(HDC dc) {
    SubsetWindow* window = subsetFindWindowByDeviceContext(dc);
    if (window == nullptr || !window->nativeHasGl) {
        return nullptr;
    }
    BackendContext* context = backendCreateContext(window->native);
    if (context == nullptr) {
        return nullptr;
    }
    subsetContexts.push_back(context);
    return reinterpret_cast<HGLRC>(context);
}

// Makes the context current on the device context's window; (NULL, NULL) releases the current
// one. Swaps wait for the display's refresh, as WGL's default swap interval of 1 has them do:
// a program that draws one step per frame then moves as fast as it does on Windows. Where the
// driver cannot wait (a software renderer on a virtual display), swaps simply do not wait.
BOOL WINAPI wglMakeCurrent(HDC dc, HGLRC context) {
    if (context == nullptr) {
        return backendMakeCurrent(nullptr, nullptr) ? TRUE : FALSE;
    }
    SubsetWindow* window = subsetFindWindowByDeviceContext(dc);
    if (window == nullptr || !window->nativeHasGl || !subsetKnownContext(context)) {
        return FALSE;
    }
    return backendMakeCurrent(window->native, reinterpret_cast<BackendContext*>(context)) ? TRUE : FALSE;
}

BOOL WINAPI wglDeleteContext(HGLRC context) {
    if (!subsetKnownContext(context)) {
        return FALSE;
    }
    BackendContext* known = reinterpret_cast<BackendContext*>(context);
    backendDeleteContext(known);
    subsetContexts.erase(std::find(subsetContexts.begin(), subsetContexts.end(), known));
    return TRUE;
}
