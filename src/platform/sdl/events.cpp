// SDL's events as the core's input: window events, keys as Windows' virtual keys, typed text and
// the left mouse button, each for the Win32 window it belongs to.
#include "platform/sdl/sdl_backend.h"

namespace {

// The keys with a virtual key besides letters and digits: those that type a control character,
// which SDL's text events never carry (SDL drops every character below 0x20). Keys that type
// printable characters reach the window through their text; the rest are not reported.
struct SdlKey {
    SDL_Keycode key;
    WORD virtualKey;
};
constexpr SdlKey sdlControlKeys[] = {
    {SDLK_ESCAPE, VK_ESCAPE}, {SDLK_RETURN, VK_RETURN},  {SDLK_KP_ENTER, VK_RETURN},
    {SDLK_TAB, VK_TAB},       {SDLK_BACKSPACE, VK_BACK},
};

// The key's virtual key, or 0 for a key that is not reported.
WORD sdlVirtualKey(SDL_Keycode key) {
    if (key >= SDLK_a && key <= SDLK_z) {
        return static_cast<WORD>('A' + (key - SDLK_a));
    }
    if (key >= SDLK_0 && key <= SDLK_9) {
        return static_cast<WORD>('0' + (key - SDLK_0));
    }
    for (const SdlKey& entry : sdlControlKeys) {
        if (entry.key == key) {
            return entry.virtualKey;
        }
    }
    return 0;
}

bool sdlMaximized(const BackendWindow* window) {
    return (SDL_GetWindowFlags(window->sdl) & SDL_WINDOW_MAXIMIZED) != 0;
}

// The window keyboard input goes to: SDL's keyboard focus, else the window last shown (without
// a window manager SDL may not know of any focus).
HWND sdlKeyWindow(Uint32 sdlWindowId) {
    const BackendWindow* window = sdlFindWindow(sdlWindowId);
    return window != nullptr ? window->handle : coreLastShownWindow();
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
    HWND window = focus != nullptr ? focus->handle : coreCaptureWindow();
    const BackendWindow* native = focus != nullptr ? focus : sdlFindWindowOf(window);
    int windowX = 0;
    int windowY = 0;
    if (native != nullptr) {
        SDL_GetWindowPosition(native->sdl, &windowX, &windowY);
    }
    if (window != nullptr) {
        coreMouseInput(window, message, leftDown, x, y, windowX + x, windowY + y, time);
    }
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
