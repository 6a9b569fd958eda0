// SDL's events as Windows messages: window events, keys, typed text and the mouse become WM_*
// messages in the queue, with Windows' virtual keys, key-message bits and button flags.
#include "platform/platform_internal.h"

namespace {

// Virtual keys of the SDL keys that have one; letters, digits and F1..F12 are mapped by range.
struct SubsetKeyName {
    SDL_Keycode key;
    WORD virtualKey;
};
constexpr SubsetKeyName subsetKeyTable[] = {
    {SDLK_BACKSPACE, VK_BACK}, {SDLK_TAB, VK_TAB},       {SDLK_RETURN, VK_RETURN},  {SDLK_KP_ENTER, VK_RETURN},
    {SDLK_ESCAPE, VK_ESCAPE},  {SDLK_SPACE, 0x20},       {SDLK_PAGEUP, 0x21},       {SDLK_PAGEDOWN, 0x22},
    {SDLK_END, 0x23},          {SDLK_HOME, 0x24},        {SDLK_LEFT, 0x25},         {SDLK_UP, 0x26},
    {SDLK_RIGHT, 0x27},        {SDLK_DOWN, 0x28},        {SDLK_INSERT, 0x2D},       {SDLK_DELETE, 0x2E},
    {SDLK_LSHIFT, 0x10},       {SDLK_RSHIFT, 0x10},      {SDLK_LCTRL, 0x11},        {SDLK_RCTRL, 0x11},
    {SDLK_LALT, 0x12},         {SDLK_RALT, 0x12},        {SDLK_CAPSLOCK, 0x14},     {SDLK_SEMICOLON, 0xBA},
    {SDLK_EQUALS, 0xBB},       {SDLK_COMMA, 0xBC},       {SDLK_MINUS, 0xBD},        {SDLK_PERIOD, 0xBE},
    {SDLK_SLASH, 0xBF},        {SDLK_BACKQUOTE, 0xC0},   {SDLK_LEFTBRACKET, 0xDB},  {SDLK_BACKSLASH, 0xDC},
    {SDLK_RIGHTBRACKET, 0xDD}, {SDLK_QUOTE, 0xDE},
};

// The characters Windows types for keys whose SDL text events never come (SDL drops every
// character below 0x20).
struct SubsetKeyCharacter {
    WPARAM virtualKey;
    char character;
};
constexpr SubsetKeyCharacter subsetControlCharacters[] = {
    {VK_ESCAPE, 27},
    {VK_RETURN, 13},
    {VK_TAB, 9},
    {VK_BACK, 8},
};

// Key-message lParam bits: repeat count 1, previous key state, transition state.
constexpr DWORD subsetKeyRepeatOnce = 0x00000001;
constexpr DWORD subsetKeyWasDown = 0x40000000;
constexpr DWORD subsetKeyGoingUp = 0x80000000;

constexpr int subsetWheelDelta = 120;

WPARAM subsetButtonsDown = 0;  // MK_* of the buttons held, from the button events seen so far
POINT subsetMouseOnScreen = {0, 0};

WORD subsetVirtualKey(SDL_Keycode key) {
    if (key >= SDLK_a && key <= SDLK_z) {
        return static_cast<WORD>('A' + (key - SDLK_a));
    }
    if (key >= SDLK_0 && key <= SDLK_9) {
        return static_cast<WORD>('0' + (key - SDLK_0));
    }
    if (key >= SDLK_F1 && key <= SDLK_F12) {
        return static_cast<WORD>(0x70 + (key - SDLK_F1));
    }
    for (const SubsetKeyName& entry : subsetKeyTable) {
        if (entry.key == key) {
            return entry.virtualKey;
        }
    }
    return 0;
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

WPARAM subsetButtonsFromState(Uint32 state) {
    WPARAM buttons = 0;
    if ((state & SDL_BUTTON_LMASK) != 0) {
        buttons |= MK_LBUTTON;
    }
    if ((state & SDL_BUTTON_RMASK) != 0) {
        buttons |= MK_RBUTTON;
    }
    if ((state & SDL_BUTTON_MMASK) != 0) {
        buttons |= MK_MBUTTON;
    }
    return buttons;
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
    const WORD virtualKey = subsetVirtualKey(event.keysym.sym);
    if (window == nullptr || virtualKey == 0) {
        return;
    }
    DWORD bits = subsetKeyRepeatOnce;
    if (event.type == SDL_KEYUP) {
        bits |= subsetKeyWasDown | subsetKeyGoingUp;
    } else if (event.repeat != 0) {
        bits |= subsetKeyWasDown;
    }
    subsetEnqueue(subsetHandle(window), event.type == SDL_KEYDOWN ? WM_KEYDOWN : WM_KEYUP, virtualKey,
                static_cast<LPARAM>(bits), event.timestamp);
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

void subsetTranslateMouse(const SDL_Event& event) {
    if (event.type == SDL_MOUSEMOTION) {
        SubsetWindow* window = subsetMouseWindow(event.motion.windowID);
        if (window == nullptr) {
            return;
        }
        subsetNoteMouse(window, event.motion.x, event.motion.y);
        subsetEnqueue(subsetHandle(window), WM_MOUSEMOVE, subsetButtonsFromState(event.motion.state),
                    MAKELPARAM(event.motion.x, event.motion.y), event.motion.timestamp);
        return;
    }
    if (event.type == SDL_MOUSEWHEEL) {
        SubsetWindow* window = subsetMouseWindow(event.wheel.windowID);
        if (window == nullptr) {
            return;
        }
        int steps = event.wheel.y;
        if (event.wheel.direction == SDL_MOUSEWHEEL_FLIPPED) {
            steps = -steps;
        }
        // The wheel message carries screen coordinates.
        subsetEnqueue(subsetHandle(window), WM_MOUSEWHEEL, MAKELONG(subsetButtonsDown, steps * subsetWheelDelta),
                    MAKELPARAM(subsetMouseOnScreen.x, subsetMouseOnScreen.y), event.wheel.timestamp);
        return;
    }
    const SDL_MouseButtonEvent& button = event.button;
    const bool down = event.type == SDL_MOUSEBUTTONDOWN;
    UINT message = 0;
    WPARAM flag = 0;
    if (button.button == SDL_BUTTON_LEFT) {
        message = down ? WM_LBUTTONDOWN : WM_LBUTTONUP;
        flag = MK_LBUTTON;
    } else if (button.button == SDL_BUTTON_RIGHT) {
        message = down ? WM_RBUTTONDOWN : WM_RBUTTONUP;
        flag = MK_RBUTTON;
    } else if (button.button == SDL_BUTTON_MIDDLE) {
        message = down ? WM_MBUTTONDOWN : WM_MBUTTONUP;
        flag = MK_MBUTTON;
    }
    SubsetWindow* window = subsetMouseWindow(button.windowID);
    if (message == 0 || window == nullptr) {
        return;
    }
    subsetButtonsDown = down ? (subsetButtonsDown | flag) : (subsetButtonsDown & ~flag);
    subsetNoteMouse(window, button.x, button.y);
    subsetEnqueue(subsetHandle(window), message, subsetButtonsDown, MAKELPARAM(button.x, button.y), button.timestamp);
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
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
    case SDL_MOUSEWHEEL:
        subsetTranslateMouse(event);
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

char subsetControlCharacter(WPARAM virtualKey) {
    for (const SubsetKeyCharacter& entry : subsetControlCharacters) {
        if (entry.virtualKey == virtualKey) {
            return entry.character;
        }
    }
    return 0;
}
