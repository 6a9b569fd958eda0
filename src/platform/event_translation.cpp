// SDL's events as Windows messages: window events, keys, typed text and the left mouse button
// become WM_* messages in the queue, with Windows' virtual keys, key-message bits and typed text.
#include "platform/platform_internal.h"

namespace {

// The keys with a virtual key besides letters and digits: those that type a control character,
// which SDL's text events never carry (SDL drops every character below 0x20). Keys that type
// printable characters reach the window through their text; the rest are not reported.
struct SubsetKey {
    SDL_Keycode key;
    WORD virtualKey;
    char character;
};
constexpr SubsetKey subsetControlKeys[] = {
    {SDLK_ESCAPE, VK_ESCAPE, 27}, {SDLK_RETURN, VK_RETURN, 13}, {SDLK_KP_ENTER, VK_RETURN, 13},
    {SDLK_TAB, VK_TAB, 9},        {SDLK_BACKSPACE, VK_BACK, 8},
};

// Key-message lParam bits: repeat count 1, previous key state, transition state.
constexpr DWORD subsetKeyRepeatOnce = 0x00000001;
constexpr DWORD subsetKeyWasDown = 0x40000000;
constexpr DWORD subsetKeyGoingUp = 0x80000000;

POINT subsetMouseOnScreen = {0, 0};

// The key's virtual key and the control character it types (0 for none), or a virtual key of 0
// for a key that is not reported.
SubsetKey subsetKeyOf(SDL_Keycode key) {
    if (key >= SDLK_a && key <= SDLK_z) {
        return SubsetKey{key, static_cast<WORD>('A' + (key - SDLK_a)), 0};
    }
    if (key >= SDLK_0 && key <= SDLK_9) {
        return SubsetKey{key, static_cast<WORD>('0' + (key - SDLK_0)), 0};
    }
    for (const SubsetKey& entry : subsetControlKeys) {
        if (entry.key == key) {
            return entry;
        }
    }
    return SubsetKey{key, 0, 0};
}

// Decodes SDL's UTF-8 text into the single-byte characters an ANSI window receives; characters
// beyond Latin-1 become '?'.
std::string subsetAnsiText(const char* utf8) {
    std::string ansi;
    for (const unsigned char* at = reinterpret_cast<const unsigned char*>(utf8); *at != 0;) {
        unsigned codePoint = *at;
        int following = 0;
        if (codePoint >= 0xF0) {
            codePoint &= 0x07;
            following = 3;
        } else if (codePoint >= 0xE0) {
            codePoint &= 0x0F;
            following = 2;
        } else if (codePoint >= 0xC0) {
            codePoint &= 0x1F;
            following = 1;
        }
        ++at;
        for (; following > 0 && (*at & 0xC0) == 0x80; --following, ++at) {
            codePoint = (codePoint << 6) | (*at & 0x3F);
        }
        ansi.push_back(codePoint <= 0xFF ? static_cast<char>(codePoint) : '?');
    }
    return ansi;
}

// The window a mouse event belongs to: SDL's mouse focus, or the capturing window.
SubsetWindow* subsetMouseWindow(Uint32 sdlWindowId) {
    SubsetWindow* window = subsetFindWindowBySdlId(sdlWindowId);
    return window != nullptr ? window : subsetFindWindow(subsetCaptureHolder());
}

// The window keyboard input goes to: SDL's keyboard focus, else the window last shown (without
// a window manager SDL may not know of any focus).
SubsetWindow* subsetKeyWindow(Uint32 sdlWindowId) {
    SubsetWindow* window = subsetFindWindowBySdlId(sdlWindowId);
    return window != nullptr ? window : subsetKeyboardWindow();
}

void subsetNoteMouse(SubsetWindow* window, int x, int y) {
    int windowX = 0;
    int windowY = 0;
    if (window->sdlWindow != nullptr) {
        SDL_GetWindowPosition(window->sdlWindow, &windowX, &windowY);
    }
    subsetMouseOnScreen = POINT{windowX + x, windowY + y};
}

// Sends WM_SIZE for a size the window procedure has not yet been told of.
void subsetReportSize(SubsetWindow* window, Uint32 time) {
    if (window->reportedWidth == window->width && window->reportedHeight == window->height) {
        return;
    }
    window->reportedWidth = window->width;
    window->reportedHeight = window->height;
    const bool maximized = (SDL_GetWindowFlags(window->sdlWindow) & SDL_WINDOW_MAXIMIZED) != 0;
    subsetEnqueue(subsetHandle(window), WM_SIZE, maximized ? SIZE_MAXIMIZED : SIZE_RESTORED,
                MAKELPARAM(window->width, window->height), time);
}

void subsetTranslateWindowEvent(const SDL_WindowEvent& event) {
    SubsetWindow* window = subsetFindWindowBySdlId(event.windowID);
    if (window == nullptr) {
        return;
    }
    HWND handle = subsetHandle(window);
    switch (event.event) {
    case SDL_WINDOWEVENT_CLOSE:
        subsetEnqueue(handle, WM_CLOSE, 0, 0, event.timestamp);
        break;
    case SDL_WINDOWEVENT_SHOWN:
    case SDL_WINDOWEVENT_EXPOSED:
        window->paintPending = true;
        break;
    case SDL_WINDOWEVENT_MOVED:
        window->x = event.data1;
        window->y = event.data2;
        break;
    case SDL_WINDOWEVENT_SIZE_CHANGED:
        window->width = event.data1;
        window->height = event.data2;
        if (!window->minimized) {
            subsetReportSize(window, event.timestamp);
        }
        break;
    case SDL_WINDOWEVENT_MINIMIZED:
        window->minimized = true;
        window->reportedWidth = 0;
        window->reportedHeight = 0;
        subsetEnqueue(handle, WM_SIZE, SIZE_MINIMIZED, 0, event.timestamp);
        break;
    case SDL_WINDOWEVENT_RESTORED:
    case SDL_WINDOWEVENT_MAXIMIZED:
        if (window->minimized) {
            window->minimized = false;
            window->paintPending = true;
        }
        subsetReportSize(window, event.timestamp);
        break;
    default:
        break;
    }
}

void subsetTranslateKey(const SDL_KeyboardEvent& event) {
    SubsetWindow* window = subsetKeyWindow(event.windowID);
    const SubsetKey key = subsetKeyOf(event.keysym.sym);
    if (window == nullptr || key.virtualKey == 0) {
        return;
    }
    DWORD bits = subsetKeyRepeatOnce;
    if (event.type == SDL_KEYUP) {
        bits |= subsetKeyWasDown | subsetKeyGoingUp;
        subsetEnqueue(subsetHandle(window), WM_KEYUP, key.virtualKey, static_cast<LPARAM>(bits), event.timestamp);
        return;
    }
    if (event.repeat != 0) {
        bits |= subsetKeyWasDown;
    }
    const std::string typed = key.character != 0 ? std::string(1, key.character) : std::string();
    subsetEnqueue(subsetHandle(window), WM_KEYDOWN, key.virtualKey, static_cast<LPARAM>(bits), event.timestamp, typed);
}

// SDL reports typed text after its key-down; the text waits on that key-down for
// TranslateMessage. Text with no key-down before it (an input method's) becomes WM_CHAR at once.
void subsetTranslateText(const SDL_TextInputEvent& event) {
    SubsetWindow* window = subsetKeyWindow(event.windowID);
    if (window == nullptr) {
        return;
    }
    HWND handle = subsetHandle(window);
    const std::string typed = subsetAnsiText(event.text);
    if (subsetAttachTypedText(handle, typed)) {
        return;
    }
    for (char character : typed) {
        subsetEnqueue(handle, WM_CHAR, static_cast<unsigned char>(character), static_cast<LPARAM>(subsetKeyRepeatOnce),
                    event.timestamp);
    }
}

// Queues a mouse message for the window the event belongs to. Only the left button is
// reported, so MK_LBUTTON is the one button flag.
void subsetEnqueueMouse(Uint32 sdlWindowId, UINT message, bool leftDown, int x, int y, Uint32 time) {
    SubsetWindow* window = subsetMouseWindow(sdlWindowId);
    if (window == nullptr) {
        return;
    }
    subsetNoteMouse(window, x, y);
    subsetEnqueue(subsetHandle(window), message, leftDown ? MK_LBUTTON : 0, MAKELPARAM(x, y), time);
}

void subsetTranslateButton(const SDL_MouseButtonEvent& event) {
    if (event.button != SDL_BUTTON_LEFT) {
        return;
    }
    const bool down = event.type == SDL_MOUSEBUTTONDOWN;
    subsetEnqueueMouse(event.windowID, down ? WM_LBUTTONDOWN : WM_LBUTTONUP, down, event.x, event.y, event.timestamp);
}

void subsetTranslateEvent(const SDL_Event& event) {
    switch (event.type) {
    case SDL_WINDOWEVENT:
        subsetTranslateWindowEvent(event.window);
        break;
    case SDL_KEYDOWN:
    case SDL_KEYUP:
        subsetTranslateKey(event.key);
        break;
    case SDL_TEXTINPUT:
        subsetTranslateText(event.text);
        break;
    case SDL_MOUSEMOTION:
        subsetEnqueueMouse(event.motion.windowID, WM_MOUSEMOVE, (event.motion.state & SDL_BUTTON_LMASK) != 0,
                           event.motion.x, event.motion.y, event.motion.timestamp);
        break;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
        subsetTranslateButton(event.button);
        break;
    default:
        break;  // SDL_QUIT among others: Win32 programs end through their windows
    }
}

}  // namespace

void subsetPumpEvents() {
    SDL_Event event;
    while (SDL_PollEvent(&event) != 0) {
        subsetTranslateEvent(event);
    }
}

POINT subsetMousePosition() {
    return subsetMouseOnScreen;
}
