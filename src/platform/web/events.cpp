// The page's keys, its key buttons, the mouse and touch as the core's input. Listened to on the
// page's window, so a drag that leaves a canvas goes on while the button is held; each event is
// kept until the program pumps its input, and wakes it if it sleeps.
#include <emscripten/emscripten.h>
#include <emscripten/html5.h>

#include <cctype>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <functional>
#include <string>

#include "platform/web/web_backend.h"

namespace {

std::deque<std::function<void()>> webInput;

// DOM key codes are Windows' virtual keys for the keys reported.
WORD webVirtualKey(unsigned long keyCode) {
    return backendReportsKey(keyCode) ? static_cast<WORD>(keyCode) : 0;
}

// The text a key-down types: its key name when that is one character ("f", "F", "é"), not a
// name such as "Escape"; nothing while Ctrl, Alt or Meta is held, which make shortcuts.
std::string webTypedText(const EmscriptenKeyboardEvent& event) {
    if (event.ctrlKey || event.altKey || event.metaKey) return std::string();
    const unsigned char lead = static_cast<unsigned char>(event.key[0]);
    const size_t length = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 0;
    return length != 0 && std::strlen(event.key) == length ? std::string(event.key) : std::string();
}

void webKeep(std::function<void()> input) {
    webInput.push_back(std::move(input));
    webWakeUp();
}

// Keys go to the window last shown, the one the page's keys belong to.
void webKeepKey(WORD virtualKey, bool down, const std::string& text, bool repeat) {
    const uint64_t time = backendMilliseconds();
    webKeep([=] {
        const BackendWindow* window = webLastShownWindow();
        if (window == nullptr) return;
        if (virtualKey != 0) coreKeyInput(window->handle, virtualKey, down, repeat, time);
        if (!text.empty()) coreTextInput(window->handle, text.c_str(), time);
    });
}

EM_BOOL webOnKey(int type, const EmscriptenKeyboardEvent* event, void*) {
    const bool down = type == EMSCRIPTEN_EVENT_KEYDOWN;
    const WORD virtualKey = webVirtualKey(event->keyCode);
    const std::string text = down ? webTypedText(*event) : std::string();
    if (virtualKey == 0 && text.empty()) return EM_FALSE;
    webKeepKey(virtualKey, down, text, event->repeat != 0);
    // The browser keeps its shortcuts; the program's keys are the program's.
    return event->ctrlKey || event->altKey || event->metaKey ? EM_FALSE : EM_TRUE;
}

EM_BOOL webOnMouse(int type, const EmscriptenMouseEvent* event, void*) {
    const bool button = type != EMSCRIPTEN_EVENT_MOUSEMOVE;
    if (button && event->button != 0) return EM_FALSE;  // the left button only
    const UINT message = type == EMSCRIPTEN_EVENT_MOUSEDOWN ? WM_LBUTTONDOWN
                         : type == EMSCRIPTEN_EVENT_MOUSEUP ? WM_LBUTTONUP
                                                            : WM_MOUSEMOVE;
    const bool taken = webGiveMouse(message, (event->buttons & 1) != 0, event->clientX, event->clientY);
    // A press on a window is the program's: no text selection or dragging of the page.
    return taken && type == EMSCRIPTEN_EVENT_MOUSEDOWN ? EM_TRUE : EM_FALSE;
}

// A program that ends through exit() takes its windows off the page with it, and hears no more.
void webEnd() {
    webStopPageInput();
    webRemoveAllWindows();
}

}  // namespace

bool webGiveMouse(UINT message, bool leftDown, double clientX, double clientY) {
    int x = 0;
    int y = 0;
    const BackendWindow* window = webCaptureWindow();
    if (window != nullptr) {
        webPointInWindow(window, clientX, clientY, &x, &y);
    } else if ((window = webWindowAt(clientX, clientY, &x, &y)) == nullptr) {
        return false;
    }
    const HWND handle = window->handle;
    const int screenX = window->x + x;
    const int screenY = window->y + y;
    const uint64_t time = backendMilliseconds();
    webKeep([=] { coreMouseInput(handle, message, leftDown, x, y, screenX, screenY, time); });
    return true;
}

// A key button sends what pressing its key does: the key-down, what the key types without Shift
// (a letter in lower case, a digit; the core types the control characters), the key-up.
extern "C" EMSCRIPTEN_KEEPALIVE void webPressKey(int virtualKey) {
    if (!backendReportsKey(static_cast<unsigned long>(virtualKey))) return;
    const WORD key = static_cast<WORD>(virtualKey);
    const bool typesText = std::isalnum(virtualKey) != 0;
    webKeepKey(key, true, typesText ? std::string(1, static_cast<char>(std::tolower(virtualKey))) : "",
               false);
    webKeepKey(key, false, std::string(), false);
}

// At once, in the page's event (the program sleeps meanwhile): what was made in the lost context
// is let go of before the browser can give the context back, after which those objects would
// belong to no context it knows.
extern "C" EMSCRIPTEN_KEEPALIVE void webCanvasLost(int number) {
    BackendWindow* window = webWindowOfCanvas(number);
    if (window != nullptr) webContextLost(window);
}

// Kept as input is, so that the program remakes what it draws with at its next pump, where it
// calls GL, not in the page's event.
extern "C" EMSCRIPTEN_KEEPALIVE void webCanvasRestored(int number) {
    webKeep([number] {
        BackendWindow* window = webWindowOfCanvas(number);
        if (window != nullptr) webContextRestored(window);
    });
}

extern "C" EMSCRIPTEN_KEEPALIVE int webPointerInput(int phase, int id, double clientX, double clientY) {
    return webTouchInput(phase, id, clientX, clientY) ? 1 : 0;
}

void webListen() {
    const char* page = EMSCRIPTEN_EVENT_TARGET_WINDOW;
    emscripten_set_keydown_callback(page, nullptr, EM_FALSE, webOnKey);
    emscripten_set_keyup_callback(page, nullptr, EM_FALSE, webOnKey);
    emscripten_set_mousedown_callback(page, nullptr, EM_FALSE, webOnMouse);
    emscripten_set_mouseup_callback(page, nullptr, EM_FALSE, webOnMouse);
    emscripten_set_mousemove_callback(page, nullptr, EM_FALSE, webOnMouse);
    webListenToPage();
    std::atexit(webEnd);
}

bool webInputPending() { return !webInput.empty(); }

void backendPumpEvents() {
    while (!webInput.empty()) {
        const std::function<void()> input = std::move(webInput.front());
        webInput.pop_front();
        input();
    }
}
