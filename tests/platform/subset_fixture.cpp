// The recording window class and the event feeders of subset_fixture.h.
#include "subset_fixture.h"

#include <cstdlib>
#include <cstring>

#include "platform/icon_pixels.h"

// The test program's icon, as a program links its own.
const unsigned char iconPixels[iconSize * iconSize * 4] = {};

std::vector<ReceivedMessage> Recording::received;
LRESULT Recording::createResult = 0;
bool Recording::validatePaint = true;
int Recording::fixedWidth = 0;
int Recording::fixedHeight = 0;

namespace {

constexpr const char* recordingClass = "SubsetTestWindow";

LRESULT CALLBACK recordingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    Recording::received.push_back(ReceivedMessage{window, message, wParam, lParam});
    if (message == WM_CREATE) {
        return Recording::createResult;
    }
    if (message == WM_PAINT) {
        if (Recording::validatePaint) {
            PAINTSTRUCT paint;
            BeginPaint(window, &paint);
            EndPaint(window, &paint);
        }
        return 0;
    }
    if (message == WM_SIZE && Recording::fixedWidth != 0) {
        SetWindowPos(window, HWND_TOP, 0, 0, Recording::fixedWidth, Recording::fixedHeight, SWP_NOMOVE);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

Uint32 sdlIdOf(HWND window) {
    SubsetWindow* record = subsetFindWindow(window);
    return record != nullptr ? record->sdlWindowId : 0;
}

void push(SDL_Event& event) {
    ASSERT_EQ(1, SDL_PushEvent(&event)) << SDL_GetError();
}

}  // namespace

std::vector<UINT> SubsetWindowTest::receivedKinds() {
    std::vector<UINT> kinds;
    for (const ReceivedMessage& each : Recording::received) {
        kinds.push_back(each.message);
    }
    return kinds;
}

bool SubsetWindowTest::receivedAny(UINT message) {
    for (const ReceivedMessage& each : Recording::received) {
        if (each.message == message) {
            return true;
        }
    }
    return false;
}

void SubsetWindowTest::SetUp() {
    // No screen: SDL's dummy driver has windows and events but shows nothing.
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    WNDCLASSA wndClass{};
    wndClass.style = CS_OWNDC;
    wndClass.lpfnWndProc = recordingProc;
    wndClass.lpszClassName = recordingClass;
    RegisterClassA(&wndClass);  // fails harmlessly from the second test on
    Recording::createResult = 0;
    Recording::validatePaint = true;
    Recording::fixedWidth = 0;
    Recording::fixedHeight = 0;
    drainQueue();
    Recording::received.clear();
}

void SubsetWindowTest::TearDown() {
    for (HWND window : created_) {
        DestroyWindow(window);
    }
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        // WM_QUIT included: nothing carries over to the next test.
    }
}

HWND SubsetWindowTest::createWindow(int width, int height) {
    HWND window = CreateWindowExA(0, recordingClass, "subset test", WS_OVERLAPPEDWINDOW, 10, 20, width, height,
                                  nullptr, nullptr, nullptr, nullptr);
    created_.push_back(window);
    return window;
}

void SubsetWindowTest::showWindow(HWND window) {
    ShowWindow(window, SW_SHOW);
    UpdateWindow(window);
    drainQueue();
}

void SubsetWindowTest::drainQueue() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE) && msg.message != WM_QUIT) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

void SubsetWindowTest::pushWindowEvent(HWND window, Uint8 kind, int data1, int data2) {
    SDL_Event event{};
    event.type = SDL_WINDOWEVENT;
    event.window.windowID = sdlIdOf(window);
    event.window.event = kind;
    event.window.data1 = data1;
    event.window.data2 = data2;
    push(event);
}

void SubsetWindowTest::pushMouseMotion(HWND window, int x, int y, Uint32 buttons) {
    SDL_Event event{};
    event.type = SDL_MOUSEMOTION;
    event.motion.windowID = sdlIdOf(window);
    event.motion.x = x;
    event.motion.y = y;
    event.motion.state = buttons;
    push(event);
}

void SubsetWindowTest::pushMouseButton(HWND window, bool down, Uint8 button, int x, int y) {
    SDL_Event event{};
    event.type = down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
    event.button.windowID = sdlIdOf(window);
    event.button.button = button;
    event.button.state = down ? SDL_PRESSED : SDL_RELEASED;
    event.button.x = x;
    event.button.y = y;
    push(event);
}

void SubsetWindowTest::pushKey(HWND window, SDL_Keycode key, bool down) {
    SDL_Event event{};
    event.type = down ? SDL_KEYDOWN : SDL_KEYUP;
    event.key.windowID = sdlIdOf(window);
    event.key.state = down ? SDL_PRESSED : SDL_RELEASED;
    event.key.keysym.sym = key;
    push(event);
}

void SubsetWindowTest::pushText(HWND window, const char* text) {
    SDL_Event event{};
    event.type = SDL_TEXTINPUT;
    event.text.windowID = sdlIdOf(window);
    std::strncpy(event.text.text, text, sizeof(event.text.text) - 1);
    push(event);
}
