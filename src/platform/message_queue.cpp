// The message queue: SDL's events become WM_* messages in a queue of MSG records, retrieved in
// Windows' order (queued messages, then WM_QUIT, then WM_PAINT, then WM_TIMER); key-downs
// become WM_CHAR through TranslateMessage; mouse capture.
#include <iterator>

#include "platform/platform_internal.h"

namespace {

// A queued message. A key-down keeps the characters its key typed until TranslateMessage.
struct SubsetQueued {
    MSG msg;
    std::string typed;
};

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

// How long GetMessageA sleeps between two looks at SDL's events: short enough that input is
// handled without a delay anyone could notice, long enough to cost next to nothing.
constexpr Sint64 subsetPollInterval = 5;

std::deque<SubsetQueued> subsetQueue;
bool subsetQuitPosted = false;
int subsetQuitCode = 0;
HWND subsetCaptureWindow = nullptr;
WPARAM subsetButtonsDown = 0;  // MK_* of the buttons held, from the button events seen so far
POINT subsetMouseOnScreen = {0, 0};

// The last key-down taken off the queue, with the characters it typed, until it is translated.
SubsetQueued subsetLastKeyDown;
bool subsetLastKeyDownPending = false;

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

// The control character a key types, or 0 for a key whose characters come as SDL text.
char subsetControlCharacter(WPARAM virtualKey) {
    for (const SubsetKeyCharacter& entry : subsetControlCharacters) {
        if (entry.virtualKey == virtualKey) {
            return entry.character;
        }
    }
    return 0;
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
    return window != nullptr ? window : subsetFindWindow(subsetCaptureWindow);
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

void subsetEnqueue(HWND window, UINT message, WPARAM wParam, LPARAM lParam, Uint32 time) {
    subsetQueue.push_back(SubsetQueued{MSG{window, message, wParam, lParam, time, subsetMouseOnScreen}, {}});
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
    if (!subsetQueue.empty()) {
        SubsetQueued& last = subsetQueue.back();
        if (last.msg.hwnd == handle && last.msg.message == WM_KEYDOWN && last.typed.empty() &&
            subsetControlCharacter(last.msg.wParam) == 0) {
            last.typed = typed;
            return;
        }
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

// Moves every event SDL has into the queue, without waiting.
void subsetPumpEvents() {
    SDL_Event event;
    while (SDL_PollEvent(&event) != 0) {
        subsetTranslateEvent(event);
    }
}

// Finds the next message that passes the filter, in Windows' order of retrieval, and with
// `remove` takes it. WM_PAINT stays until the window is validated.
bool subsetFindMessage(MSG* msg, HWND window, UINT filterMin, UINT filterMax, bool remove) {
    for (auto queued = subsetQueue.begin(); queued != subsetQueue.end(); ++queued) {
        if (!subsetWindowMatches(queued->msg.hwnd, window) ||
            !subsetMessageInRange(queued->msg.message, filterMin, filterMax)) {
            continue;
        }
        *msg = queued->msg;
        if (remove) {
            if (queued->msg.message == WM_KEYDOWN) {
                subsetLastKeyDown = *queued;
                subsetLastKeyDownPending = true;
            }
            subsetQueue.erase(queued);
        }
        return true;
    }
    const Uint32 now = SDL_GetTicks();
    if (subsetQuitPosted && subsetMessageInRange(WM_QUIT, filterMin, filterMax)) {
        *msg = MSG{nullptr, WM_QUIT, static_cast<WPARAM>(subsetQuitCode), 0, now, subsetMouseOnScreen};
        if (remove) {
            subsetQuitPosted = false;
        }
        return true;
    }
    if (subsetMessageInRange(WM_PAINT, filterMin, filterMax)) {
        if (SubsetWindow* unpainted = subsetFindUnpainted(window)) {
            *msg = MSG{subsetHandle(unpainted), WM_PAINT, 0, 0, now, subsetMouseOnScreen};
            return true;
        }
    }
    if (subsetTakeDueTimer(msg, window, filterMin, filterMax, remove, SDL_GetTicks64())) {
        msg->pt = subsetMouseOnScreen;
        return true;
    }
    return false;
}

}  // namespace

bool subsetMessageInRange(UINT message, UINT filterMin, UINT filterMax) {
    return (filterMin == 0 && filterMax == 0) || (message >= filterMin && message <= filterMax);
}

bool subsetWindowMatches(HWND target, HWND filter) {
    return filter == nullptr || target == filter;
}

void subsetDiscardMessages(HWND window) {
    for (auto queued = subsetQueue.begin(); queued != subsetQueue.end();) {
        queued = queued->msg.hwnd == window ? subsetQueue.erase(queued) : std::next(queued);
    }
    if (subsetLastKeyDown.msg.hwnd == window) {
        subsetLastKeyDownPending = false;
    }
}

void subsetForgetCapture(HWND window) {
    if (subsetCaptureWindow == window) {
        ReleaseCapture();
    }
}

// Waits until a message is there or a timer is due; returns 0 for WM_QUIT, 1 otherwise.
BOOL WINAPI GetMessageA(MSG* msg, HWND window, UINT filterMin, UINT filterMax) {
    if (msg == nullptr) {
        return -1;
    }
    subsetEnsureVideo();
    for (;;) {
        subsetPumpEvents();
        if (subsetFindMessage(msg, window, filterMin, filterMax, true)) {
            return msg->message == WM_QUIT ? 0 : 1;
        }
        // NOTE: no SDL_WaitEventTimeout here. On X11, SDL 2.26 wakes its own wait by sending an
        // event to a window through a second X connection; when the input that woke it destroys
        // that window (Esc, the close button), the event can reach the X server after the
        // window is gone, and Xlib then ends the process with BadWindow at exit. Sleeping in
        // short steps between polls never involves that wake-up.
        const Sint64 toTimer = subsetMillisecondsToNextTimer(SDL_GetTicks64());
        const Sint64 nap = toTimer < 0 ? subsetPollInterval : SDL_clamp(toTimer, Sint64{1}, subsetPollInterval);
        SDL_Delay(static_cast<Uint32>(nap));
    }
}

// Looks for a message without waiting; with PM_NOREMOVE the message stays queued.
BOOL WINAPI PeekMessageA(MSG* msg, HWND window, UINT filterMin, UINT filterMax, UINT removeFlags) {
    if (msg == nullptr) {
        return FALSE;
    }
    subsetEnsureVideo();
    subsetPumpEvents();
    return subsetFindMessage(msg, window, filterMin, filterMax, (removeFlags & PM_REMOVE) != 0) ? TRUE : FALSE;
}

// Queues the WM_CHAR messages a key-down types, ahead of everything else, so the next message
// retrieved is the first character.
BOOL WINAPI TranslateMessage(const MSG* msg) {
    if (msg == nullptr || (msg->message != WM_KEYDOWN && msg->message != WM_KEYUP)) {
        return FALSE;
    }
    if (msg->message == WM_KEYUP) {
        return TRUE;
    }
    std::string typed;
    if (const char control = subsetControlCharacter(msg->wParam)) {
        typed.push_back(control);
    }
    const MSG& last = subsetLastKeyDown.msg;
    if (typed.empty() && subsetLastKeyDownPending && last.hwnd == msg->hwnd && last.wParam == msg->wParam &&
        last.lParam == msg->lParam && last.time == msg->time) {
        typed = subsetLastKeyDown.typed;
    }
    subsetLastKeyDownPending = false;
    auto at = subsetQueue.begin();
    for (char character : typed) {
        MSG typedMsg = *msg;
        typedMsg.message = WM_CHAR;
        typedMsg.wParam = static_cast<unsigned char>(character);
        at = std::next(subsetQueue.insert(at, SubsetQueued{typedMsg, {}}));
    }
    return TRUE;
}

// Calls the window procedure, or the timer procedure a WM_TIMER names.
LRESULT WINAPI DispatchMessageA(const MSG* msg) {
    if (msg == nullptr) {
        return 0;
    }
    if (msg->message == WM_TIMER && msg->lParam != 0) {
        reinterpret_cast<TIMERPROC>(msg->lParam)(msg->hwnd, WM_TIMER, msg->wParam, msg->time);
        return 0;
    }
    SubsetWindow* window = subsetFindWindow(msg->hwnd);
    return window != nullptr ? subsetSendMessage(window, msg->message, msg->wParam, msg->lParam) : 0;
}

void WINAPI PostQuitMessage(int exitCode) {
    subsetQuitPosted = true;
    subsetQuitCode = exitCode;
}

// Keeps mouse messages coming to the window while a button is held outside it.
HWND WINAPI SetCapture(HWND window) {
    HWND previous = subsetCaptureWindow;
    if (subsetFindWindow(window) != nullptr) {
        subsetCaptureWindow = window;
        SDL_CaptureMouse(SDL_TRUE);
    }
    return previous;
}

BOOL WINAPI ReleaseCapture(void) {
    if (subsetCaptureWindow != nullptr) {
        subsetCaptureWindow = nullptr;
        SDL_CaptureMouse(SDL_FALSE);
    }
    return TRUE;
}
