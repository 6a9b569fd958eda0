// SDL's events as the core's input: window events, keys as Windows' virtual keys, typed text and
// the left mouse button, each for the Win32 window it belongs to.
#include "platform/sdl/sdl_backend.h"

namespace {

// The key's virtual key, or 0 for a key that is not reported. SDL's codes for the keys reported
// are the characters they type (letters in lower case), as Windows' codes are, but for the
// keypad's Enter.
WORD sdlVirtualKey(SDL_Keycode key) {
    if (key == SDLK_KP_ENTER) {
        return VK_RETURN;
    }
    const SDL_Keycode upper = key >= SDLK_a && key <= SDLK_z ? key - (SDLK_a - 'A') : key;
    return upper >= 0 && backendReportsKey(static_cast<unsigned long>(upper)) ? static_cast<WORD>(upper) : 0;
}

bool sdlMaximized(const BackendWindow* window) {
    return (SDL_GetWindowFlags(window->sdl) & SDL_WINDOW_MAXIMIZED) != 0;
}

// The window keyboard input goes to: SDL's keyboard focus, else the window last shown (without
// a window manager SDL may not know of any focus).
HWND sdlKeyWindow(Uint32 sdlWindowId) {
    const BackendWindow* window = sdlFindWindow(sdlWindowId);
    window = window != nullptr ? window : sdlLastShownWindow();
    return window != nullptr ? window->handle : nullptr;
}

void sdlTranslateWindowEvent(const SDL_WindowEvent& event) {
    const BackendWindow* window = sdlFindWindow(event.windowID);
    if (window == nullptr) {
        return;
    }
    switch (event.event) {
    case SDL_WINDOWEVENT_CLOSE:
        coreCloseInput(window->handle, event.timestamp);
        break;
    case SDL_WINDOWEVENT_SHOWN:
    case SDL_WINDOWEVENT_EXPOSED:
        coreExposeInput(window->handle);
        break;
    case SDL_WINDOWEVENT_MOVED:
        coreMoveInput(window->handle, event.data1, event.data2);
        break;
    case SDL_WINDOWEVENT_SIZE_CHANGED:
        coreSizeInput(window->handle, event.data1, event.data2, sdlMaximized(window), event.timestamp);
        break;
    case SDL_WINDOWEVENT_MINIMIZED:
        coreMinimizeInput(window->handle, event.timestamp);
        break;
    case SDL_WINDOWEVENT_RESTORED:
    case SDL_WINDOWEVENT_MAXIMIZED:
        coreRestoreInput(window->handle, sdlMaximized(window), event.timestamp);
        break;
    default:
        break;
    }
}

void sdlTranslateKey(const SDL_KeyboardEvent& event) {
    HWND window = sdlKeyWindow(event.windowID);
    const WORD virtualKey = sdlVirtualKey(event.keysym.sym);
    if (window != nullptr && virtualKey != 0) {
        coreKeyInput(window, virtualKey, event.type == SDL_KEYDOWN, event.repeat != 0, event.timestamp);
    }
}

void sdlTranslateText(const SDL_TextInputEvent& event) {
    if (HWND window = sdlKeyWindow(event.windowID)) {
        coreTextInput(window, event.text, event.timestamp);
    }
}

// A mouse event belongs to SDL's mouse focus, or else to the window holding the capture.
void sdlTranslateMouse(Uint32 sdlWindowId, UINT message, bool leftDown, int x, int y, Uint32 time) {
    const BackendWindow* focus = sdlFindWindow(sdlWindowId);
    const BackendWindow* window = focus != nullptr ? focus : sdlCaptureWindow();
    if (window == nullptr) {
        return;
    }
    int windowX = 0;
    int windowY = 0;
    SDL_GetWindowPosition(window->sdl, &windowX, &windowY);
    coreMouseInput(window->handle, message, leftDown, x, y, windowX + x, windowY + y, time);
}

void sdlTranslateEvent(const SDL_Event& event) {
    switch (event.type) {
    case SDL_WINDOWEVENT:
        sdlTranslateWindowEvent(event.window);
        break;
    case SDL_KEYDOWN:
    case SDL_KEYUP:
        sdlTranslateKey(event.key);
        break;
    case SDL_TEXTINPUT:
        sdlTranslateText(event.text);
        break;
    case SDL_MOUSEMOTION:
        sdlTranslateMouse(event.motion.windowID, WM_MOUSEMOVE, (event.motion.state & SDL_BUTTON_LMASK) != 0,
                          event.motion.x, event.motion.y, event.motion.timestamp);
        break;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
        if (event.button.button == SDL_BUTTON_LEFT) {
            const bool down = event.type == SDL_MOUSEBUTTONDOWN;
            sdlTranslateMouse(event.button.windowID, down ? WM_LBUTTONDOWN : WM_LBUTTONUP, down,
                              event.button.x, event.button.y, event.button.timestamp);
        }
        break;
    default:
        break;  // SDL_QUIT among others: Win32 programs end through their windows
    }
}

}  // namespace

void backendPumpEvents() {
    SDL_Event event;
    while (SDL_PollEvent(&event) != 0) {
        sdlTranslateEvent(event);
    }
}
