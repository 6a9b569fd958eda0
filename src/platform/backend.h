// The seam between the subset's Win32 core and the machine: what a backend gives the core (a
// display, native windows, OpenGL contexts, input, a wait, a message box, a clock), and the few
// input calls a backend makes into the core. The core includes no windowing system's header;
// a backend is one folder (sdl/ for desktops), chosen when the program is built.
#pragma once

#include <cstdint>

#include "platform/win32_subset.h"

// A backend's own records, which the core holds without looking inside.
struct BackendWindow;
struct BackendContext;

// What a native window is made with. It is made hidden; the core shows it.
struct BackendWindowSettings {
    HWND handle;  // the Win32 window it belongs to, for the input calls
    const char* title;
    bool placed;  // false: the system places it (x and y are not used)
    int x, y, width, height;
    bool resizable;
    const unsigned char* iconPixels;  // RGBA rows, or null for the system's icon
    int iconSize;
};

enum class BackendShow { hide, show, minimize, maximize };

// ---- Start-up and the screen ----

// Opens the display; main() calls it once, before the program starts. Where there is none it
// writes one line on stderr, naming the program and the cause, and ends the process with exit
// code 1: the one place the subset gives up.
void backendStart();

// The primary screen's size in pixels.
void backendScreenSize(int* width, int* height);

// The display's colour channels as masks of a pixel (0 for each where it has no such layout).
void backendChannelMasks(uint32_t* red, uint32_t* green, uint32_t* blue);

// Milliseconds from a fixed point; never goes back. Input calls carry times of this clock.
uint64_t backendMilliseconds();

// ---- Native windows ----

// A plain window; null where none can be made.
BackendWindow* backendCreateWindow(const BackendWindowSettings& settings);

// Whether OpenGL windows can be made at all.
bool backendGlAvailable();

// A window with OpenGL in the display's true-colour layout, double buffered, with the depth
// buffer closest to depthBits (a deeper one before a shallower one); *gotDepthBits says what it
// got. Null where no such window can be made; nothing of the failure reaches the program.
BackendWindow* backendCreateGlWindow(const BackendWindowSettings& settings, int depthBits, int* gotDepthBits);

void backendDestroyWindow(BackendWindow* window);

// Keyboard input the system gives no window goes to the window last shown (until it is destroyed).
void backendShowWindow(BackendWindow* window, BackendShow how);
void backendMoveWindow(BackendWindow* window, int x, int y);

// Sizes the window's inside; a maximised window is restored first, since window managers ignore
// size requests for one while Windows sizes it all the same.
void backendSizeWindow(BackendWindow* window, int width, int height);

void backendRaiseWindow(BackendWindow* window);

// Keeps mouse input coming to `window` while a button is held outside it; null stops.
void backendCaptureMouse(BackendWindow* window);

// ---- OpenGL ----

// A context for an OpenGL window; null where none can be made. The current context stays.
BackendContext* backendCreateContext(BackendWindow* window);

// Makes the context current on the window, with swaps that wait for the display's refresh where
// the driver can (WGL's default swap interval of 1); (null, null) releases the current one.
bool backendMakeCurrent(BackendWindow* window, BackendContext* context);

void backendDeleteContext(BackendContext* context);
void backendSwapBuffers(BackendWindow* window);

// ---- Input, the wait and the message box ----

// Turns every input the machine has for the program into input calls, without waiting.
void backendPumpEvents();

// Sleeps until input may have come or timeoutMs pass (-1: no limit); may return early.
void backendWait(int64_t timeoutMs);

// A modal box with one OK button that Return and Esc also press, over `owner` if given; returns
// once it is dismissed, or false at once where no box can be shown.
bool backendMessageBox(BackendWindow* owner, const char* caption, const char* text, bool error);

// ---- Input calls a backend makes into the core (input.cpp) ----

// The keys a backend reports besides letters ('A'-'Z') and digits: those that type a control
// character, which the machine's text input does not carry, so the core types it. Keys that type
// printable characters reach the program through their text; the rest are not reported.
struct BackendControlKey {
    WORD virtualKey;
    char character;
};
constexpr BackendControlKey backendControlKeys[] = {
    {VK_ESCAPE, 27},
    {VK_RETURN, 13},
    {VK_TAB, 9},
    {VK_BACK, 8},
};

// Whether a backend reports the key with this virtual key.
constexpr bool backendReportsKey(unsigned long virtualKey) {
    bool control = false;
    for (const BackendControlKey& key : backendControlKeys) control = control || key.virtualKey == virtualKey;
    return (virtualKey >= 'A' && virtualKey <= 'Z') || (virtualKey >= '0' && virtualKey <= '9') || control;
}

// A key went down or up; `virtualKey` is Windows' code for it (letters 'A'-'Z', digits, VK_*).
void coreKeyInput(HWND window, WORD virtualKey, bool down, bool repeat, uint64_t time);

// Text the user typed, in UTF-8, after the key-down that typed it.
void coreTextInput(HWND window, const char* utf8, uint64_t time);

// The left button went down or up (WM_LBUTTONDOWN, WM_LBUTTONUP) or the mouse moved
// (WM_MOUSEMOVE), at (x, y) in the window and (screenX, screenY) on the screen.
void coreMouseInput(HWND window, UINT message, bool leftDown, int x, int y, int screenX, int screenY,
                    uint64_t time);

// The window's inside has this size now (maximized: by the user's maximise).
void coreSizeInput(HWND window, int width, int height, bool maximized, uint64_t time);

void coreMinimizeInput(HWND window, uint64_t time);
void coreRestoreInput(HWND window, bool maximized, uint64_t time);
void coreMoveInput(HWND window, int x, int y);

// The window needs painting (shown, uncovered).
void coreExposeInput(HWND window);

// The user asked to close the window (its close button).
void coreCloseInput(HWND window, uint64_t time);

// What the backend asks of the core: the program's name for its one line.
const char* coreProgramName();
