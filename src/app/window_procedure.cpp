// The window procedure: sends each message to the part of the viewer that handles it, and
// everything else to default processing.
#include "app/window_procedure.h"

#include "app/keyboard.h"
#include "scene/redraw.h"
#include "app/window_lifecycle.h"
#include "gl/palette.h"
#include "scene/viewer_state.h"
#include "trackball/trackball.h"

#include <stdint.h>

namespace {

// Mouse coordinates are signed 16-bit halves of lParam: while the mouse is captured, points
// left of or above the client area arrive as negative values.
int mouseX(LPARAM lParam) { return int16_t(uint16_t(uintptr_t(lParam) & 0xffff)); }
int mouseY(LPARAM lParam) { return int16_t(uint16_t((uintptr_t(lParam) >> 16) & 0xffff)); }

}  // namespace

LRESULT CALLBACK WndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
        createWindowResources(window);
        return 0;

    case WM_DESTROY:
        destroyWindowResources(window);
        return 0;

    // The window keeps its size: any resize, minimise or maximise is answered by putting the
    // stored size back; the top-left corner stays where it is.
    case WM_SIZE:
        if (hRC == nullptr) break;
        SetWindowPos(window, HWND_TOP, 0, 0, windowWidth, windowHeight, SWP_NOMOVE);
        return 0;

    // Painting only validates the window; the frame is drawn later by the idle hook.
    case WM_PAINT: {
        if (hRC == nullptr) break;
        PAINTSTRUCT paint;
        BeginPaint(window, &paint);
        requestRedraw();
        EndPaint(window, &paint);
        return 0;
    }

    // The capture keeps the drag going when the mouse leaves the window.
    case WM_LBUTTONDOWN:
        if (hRC == nullptr) break;
        SetCapture(window);
        trackballBegin(mouseX(lParam), mouseY(lParam));
        return 0;

    case WM_LBUTTONUP:
        if (hRC == nullptr) break;
        ReleaseCapture();
        trackballEnd(mouseX(lParam), mouseY(lParam));
        return 0;

    case WM_MOUSEMOVE:
        if (hRC != nullptr) trackballDrag(mouseX(lParam), mouseY(lParam));
        break;

    case WM_CHAR:
        return handleCharacter(window, wParam, lParam);

    case WM_QUERYNEWPALETTE:
        if (hPalette == nullptr) break;
        realizePalette();
        return TRUE;

    // A change this window made itself needs no answer.
    case WM_PALETTECHANGED:
        if (hPalette == nullptr || reinterpret_cast<HWND>(wParam) == window) break;
        realizePalette();
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}
