// The backend's input as Windows messages: keys with Windows' key-message bits and the control
// characters they type, typed text as ANSI characters, the left mouse button, and the window's
// size, state, place, painting and close.
#include "platform/platform_internal.h"

namespace {

// Key-message lParam bits: repeat count 1, previous key state, transition state.
constexpr DWORD subsetKeyRepeatOnce = 0x00000001;
constexpr DWORD subsetKeyWasDown = 0x40000000;
constexpr DWORD subsetKeyGoingUp = 0x80000000;

POINT subsetMouseOnScreen = {0, 0};

// The control character a key types, which text input never carries, or 0.
char subsetControlCharacter(WORD virtualKey) {
    for (const BackendControlKey& key : backendControlKeys) {
        if (key.virtualKey == virtualKey) {
            return key.character;
        }
    }
    return 0;
}

// Decodes UTF-8 text into the single-byte characters an ANSI window receives; characters
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
// Sends WM_SIZE for a size the window procedure has not yet been told of.
void subsetReportSize(SubsetWindow* window, bool maximized, uint64_t time) {
    if (window->reportedWidth == window->width && window->reportedHeight == window->height) {
        return;
    }
    window->reportedWidth = window->width;
    window->reportedHeight = window->height;
    subsetEnqueue(subsetHandle(window), WM_SIZE, maximized ? SIZE_MAXIMIZED : SIZE_RESTORED,
                  MAKELPARAM(window->width, window->height), time);
}

}  // namespace

// A key-down carries the control character its key types; TranslateMessage queues it.
void coreKeyInput(HWND handle, WORD virtualKey, bool down, bool repeat, uint64_t time) {
    if (subsetFindWindow(handle) == nullptr) {
        return;
    }
    DWORD bits = subsetKeyRepeatOnce;
    if (!down) {
        bits |= subsetKeyWasDown | subsetKeyGoingUp;
        subsetEnqueue(handle, WM_KEYUP, virtualKey, static_cast<LPARAM>(bits), time);
        return;
    }
    if (repeat) {
        bits |= subsetKeyWasDown;
    }
    const char character = subsetControlCharacter(virtualKey);
    subsetEnqueue(handle, WM_KEYDOWN, virtualKey, static_cast<LPARAM>(bits), time,
                  character != 0 ? std::string(1, character) : std::string());
}

// Text comes after its key-down and waits on it for TranslateMessage. Text with no key-down
// before it (an input method's) becomes WM_CHAR at once.
void coreTextInput(HWND handle, const char* utf8, uint64_t time) {
    if (subsetFindWindow(handle) == nullptr) {
        return;
    }
    const std::string typed = subsetAnsiText(utf8);
    if (subsetAttachTypedText(handle, typed)) {
        return;
    }
    for (char character : typed) {
        subsetEnqueue(handle, WM_CHAR, static_cast<unsigned char>(character),
                      static_cast<LPARAM>(subsetKeyRepeatOnce), time);
    }
}

// Only the left button is reported, so MK_LBUTTON is the one button flag. The coordinates go into
// lParam as 16-bit halves, negative left of and above the window while the mouse is captured.
void coreMouseInput(HWND handle, UINT message, bool leftDown, int x, int y, int screenX, int screenY,
                    uint64_t time) {
    if (subsetFindWindow(handle) == nullptr) {
        return;
    }
    subsetMouseOnScreen = POINT{screenX, screenY};
    subsetEnqueue(handle, message, leftDown ? MK_LBUTTON : 0, MAKELPARAM(x, y), time);
}

void coreSizeInput(HWND handle, int width, int height, bool maximized, uint64_t time) {
    SubsetWindow* window = subsetFindWindow(handle);
    if (window == nullptr) {
        return;
    }
    window->width = width;
    window->height = height;
    if (!window->minimized) {
        subsetReportSize(window, maximized, time);
    }
}

void coreMinimizeInput(HWND handle, uint64_t time) {
    SubsetWindow* window = subsetFindWindow(handle);
    if (window == nullptr) {
        return;
    }
    window->minimized = true;
    window->reportedWidth = 0;
    window->reportedHeight = 0;
    subsetEnqueue(handle, WM_SIZE, SIZE_MINIMIZED, 0, time);
}

// A window brought back from the task bar needs painting, and its size is told again.
void coreRestoreInput(HWND handle, bool maximized, uint64_t time) {
    SubsetWindow* window = subsetFindWindow(handle);
    if (window == nullptr) {
        return;
    }
    if (window->minimized) {
        window->minimized = false;
        window->paintPending = true;
    }
    subsetReportSize(window, maximized, time);
}

void coreMoveInput(HWND handle, int x, int y) {
    if (SubsetWindow* window = subsetFindWindow(handle)) {
        window->x = x;
        window->y = y;
    }
}

void coreExposeInput(HWND handle) {
    if (SubsetWindow* window = subsetFindWindow(handle)) {
        window->paintPending = true;
    }
}

void coreCloseInput(HWND handle, uint64_t time) {
    if (subsetFindWindow(handle) != nullptr) {
        subsetEnqueue(handle, WM_CLOSE, 0, 0, time);
    }
}

POINT subsetMousePosition() { return subsetMouseOnScreen; }
