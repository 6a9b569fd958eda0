// The page's keys and mouse as the core's input. Listened to on the page's window, so a drag
// that leaves a canvas goes on while the button is held; each event is kept until the program
// pumps its input, and wakes it if it sleeps.
#include <emscripten/html5.h>

#include <cstring>
#include <deque>
#include <functional>
#include <string>

#include "platform/web/web_backend.h"

namespace {

std::deque<std::function<void()>> webInput;
bool webCapturing = false;

// DOM key codes that are Windows' virtual keys for the keys reported: letters, digits, and those
// that type a control character (Esc, Return, Tab, Backspace). Other keys type through their text.
WORD webVirtualKey(unsigned long keyCode) {
    const bool letter = keyCode >= 'A' && keyCode <= 'Z';
    const bool digit = keyCode >= '0' && keyCode <= '9';
    const bool control =
        keyCode == VK_ESCAPE || keyCode == VK_RETURN || keyCode == VK_TAB || keyCode == VK_BACK;
    return letter || digit || control ? static_cast<WORD>(keyCode) : 0;
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
EM_BOOL webOnKey(int type, const EmscriptenKeyboardEvent* event, void*) {
    const bool down = type == EMSCRIPTEN_EVENT_KEYDOWN;
    const WORD virtualKey = webVirtualKey(event->keyCode);
    const std::string text = down ? webTypedText(*event) : std::string();
    if (virtualKey == 0 && text.empty()) return EM_FALSE;
    const bool repeat = event->repeat != 0;
    const uint64_t time = backendMilliseconds();
    webKeep([=] {
        HWND window = coreLastShownWindow();
        if (window == nullptr) return;
        if (virtualKey != 0) coreKeyInput(window, virtualKey, down, repeat, time);
        if (!text.empty()) coreTextInput(window, text.c_str(), time);
    });
    // The browser keeps its shortcuts; the program's keys are the program's.
    return event->ctrlKey || event->altKey || event->metaKey ? EM_FALSE : EM_TRUE;
}

// The window a mouse event belongs to: the one holding the capture, else the one under it.
BackendWindow* webMouseWindow(const EmscriptenMouseEvent& event, int* x, int* y) {
    BackendWindow* captured = webCapturing ? webFindWindowOf(coreCaptureWindow()) : nullptr;
    if (captured == nullptr) return webWindowAt(event.clientX, event.clientY, x, y);
    webPointInWindow(captured, event.clientX, event.clientY, x, y);
    return captured;
}

EM_BOOL webOnMouse(int type, const EmscriptenMouseEvent* event, void*) {
    const bool button = type != EMSCRIPTEN_EVENT_MOUSEMOVE;
    if (button && event->button != 0) return EM_FALSE;  // the left button only
    int x = 0;
    int y = 0;
    const BackendWindow* window = webMouseWindow(*event, &x, &y);
    if (window == nullptr) return EM_FALSE;
    const UINT message = type == EMSCRIPTEN_EVENT_MOUSEDOWN ? WM_LBUTTONDOWN
                         : type == EMSCRIPTEN_EVENT_MOUSEUP ? WM_LBUTTONUP
                                                            : WM_MOUSEMOVE;
    const bool leftDown = (event->buttons & 1) != 0;
    const HWND handle = window->handle;
    const int screenX = window->x + x;
    const int screenY = window->y + y;
    const uint64_t time = backendMilliseconds();
    webKeep([=] { coreMouseInput(handle, message, leftDown, x, y, screenX, screenY, time); });
    // A press on a window is the program's: no text selection or dragging of the page.
    return type == EMSCRIPTEN_EVENT_MOUSEDOWN ? EM_TRUE : EM_FALSE;
}

}  // namespace

void webListen() {
    const char* page = EMSCRIPTEN_EVENT_TARGET_WINDOW;
    emscripten_set_keydown_callback(page, nullptr, EM_FALSE, webOnKey);
    emscripten_set_keyup_callback(page, nullptr, EM_FALSE, webOnKey);
    emscripten_set_mousedown_callback(page, nullptr, EM_FALSE, webOnMouse);
    emscripten_set_mouseup_callback(page, nullptr, EM_FALSE, webOnMouse);
    emscripten_set_mousemove_callback(page, nullptr, EM_FALSE, webOnMouse);
}

bool webInputPending() { return !webInput.empty(); }

// The page keeps sending a held button's moves and release to the page's window wherever the
// mouse goes, so capturing is only a matter of whom they are given to.
void backendCaptureMouse(bool capture) { webCapturing = capture; }

void backendPumpEvents() {
    while (!webInput.empty()) {
        const std::function<void()> input = std::move(webInput.front());
        webInput.pop_front();
        input();
    }
}
