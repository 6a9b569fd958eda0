// Private to the Win32 subset: what the handles point at, the process-wide records of the
// subset, and the helpers its files share. Every private helper is named subset...; nothing
// here is visible to a program that uses the subset.
//
// How the records map onto SDL (the choices that differ from Windows are listed in
// win32_subset.h):
// - A window's SDL window is made when its pixel format is set, since SDL fixes a window's visual
//   when it is made; a window shown with no pixel format gets a plain one, made again with GL if
//   a format is set later.
// - A device context holds its own pixel format, filled once by SetPixelFormat when the window's
//   GL window is made, with the depth buffer of the visual that window got.
#pragma once

#include <SDL.h>

#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/win32_subset.h"

// The window's own device context (CS_OWNDC semantics: one per window, never changes).
struct SubsetDeviceContext {
    struct SubsetWindow* window = nullptr;
    int pixelFormat = 0;  // 0 until SetPixelFormat
    PIXELFORMATDESCRIPTOR format{};  // what SetPixelFormat set; never changed after
    HPALETTE palette = nullptr;  // null means the default palette
};

// What an HWND points at.
struct SubsetWindow {
    WNDPROC windowProc = nullptr;
    HICON icon = nullptr;
    std::string title;
    DWORD style = 0;
    int x = 0, y = 0;  // SDL_WINDOWPOS_UNDEFINED for CW_USEDEFAULT
    int width = 0, height = 0;
    SDL_Window* sdlWindow = nullptr;  // null until the window is realised
    bool sdlWindowHasGl = false;
    Uint32 sdlWindowId = 0;
    bool shown = false;
    bool minimized = false;
    bool paintPending = false;
    bool destroying = false;
    int reportedWidth = 0, reportedHeight = 0;  // client size last sent with WM_SIZE
    SubsetDeviceContext deviceContext;
};

// What an HPALETTE points at.
struct SubsetPalette {
    std::vector<PALETTEENTRY> entries;
};

// What an HICON points at: the program's own icon carries pixels, stock icons none.
struct SubsetIcon {
    const unsigned char* rgbaPixels;
    int size;
};

// ---- Process start and the one way to fail (display.cpp) ----

// Remembers the program's name (argv[0]) for the failure line.
void subsetSetProgramName(const char* argv0);

// The program's name as the failure line and stderr notes show it.
const char* subsetProgramName();

// Initialises SDL's video once; a display that cannot be opened ends the process.
void subsetEnsureVideo();

// Writes "<program>: <cause>: <SDL's error text>" on stderr and exits with code 1. The one place
// where the subset gives up: no display at all.
[[noreturn]] void subsetFail(const char* cause);

// The one pixel format as it would be set, in the display's channel layout, with the depth
// buffer the subset prefers.
PIXELFORMATDESCRIPTOR subsetDescribeFormat();

// ---- OpenGL on X11 (x11_display.cpp, x11_visual.cpp) ----

// SDL's own connection to the X server (Xlib's Display); null when SDL is not on X11.
struct _XDisplay* subsetX11Display();

// Loads the GL library once; false where there is no OpenGL at all (no GLX, no GL driver in SDL).
bool subsetGlAvailable();

// Runs `step` with X protocol errors caught, so that none reaches Xlib's default handler (which
// ends the process); true if the X server reported none. Off X11 it just runs the step.
bool subsetWithoutXErrors(const std::function<void()>& step);

// On X11: the id (as text, for SDL's visual hint) of the double-buffered RGBA GL visual whose
// depth buffer is closest to depthBits; empty when not on X11 or none fits.
std::string subsetClosestX11Visual(int depthBits);

// On X11: the depth buffer bits of the visual an SDL window was made with; -1 where unknown.
int subsetX11WindowDepthBits(SDL_Window* sdlWindow);

// ---- Windows (window.cpp) ----

// The live window for a handle, or null for a handle that is not (or no longer) a window.
SubsetWindow* subsetFindWindow(HWND window);

// The live window whose SDL window has this id, or null.
SubsetWindow* subsetFindWindowBySdlId(Uint32 sdlWindowId);

// The live window whose own device context this is, or null.
SubsetWindow* subsetFindWindowByDeviceContext(HDC dc);

// A visible window that needs painting and passes the window filter, or null.
SubsetWindow* subsetFindUnpainted(HWND filter);

// The window that takes keyboard input when SDL names none: the last one shown.
SubsetWindow* subsetKeyboardWindow();

// The handle of a window record.
HWND subsetHandle(SubsetWindow* window);

// Calls the window procedure directly, as SendMessage does.
LRESULT subsetSendMessage(SubsetWindow* window, UINT message, WPARAM wParam, LPARAM lParam);

// Makes the window's plain SDL window if it has none yet; false if it cannot be made.
bool subsetRealiseWindow(SubsetWindow* window);

// Makes the window's SDL window with OpenGL, with the depth buffer closest to depthBits, in
// place of a plain one; returns the depth bits it got, or 0 (and keeps the old one) if no such
// window can be made.
BYTE subsetRealiseGlWindow(SubsetWindow* window, BYTE depthBits);

// ---- SDL's events as messages (event_translation.cpp) ----

// Moves every event SDL has into the message queue, as WM_* messages, without waiting.
void subsetPumpEvents();

// Where the mouse was last seen, in screen coordinates: the pt of every message.
POINT subsetMousePosition();

// ---- Waiting for input (event_wait.cpp) ----

// Sleeps until SDL may have new events or timeoutMs pass (-1: no limit); may return early.
void subsetWaitForEvents(Sint64 timeoutMs);

// ---- The message queue (message_queue.cpp) ----

// Appends a message to the queue, with the mouse position as its pt; a key-down carries the
// characters its key types, for TranslateMessage.
void subsetEnqueue(HWND window, UINT message, WPARAM wParam, LPARAM lParam, Uint32 time,
                   const std::string& typed = std::string());

// Gives the text a key typed to the newest queued message if that is the same window's key-down
// and types nothing yet; false otherwise.
bool subsetAttachTypedText(HWND window, const std::string& typed);

// The window holding the mouse capture, or null.
HWND subsetCaptureHolder();

// Drops every queued message for a window that is going away.
void subsetDiscardMessages(HWND window);

// Forgets the mouse capture if this window holds it.
void subsetForgetCapture(HWND window);

// True if a message number lies in a GetMessageA/PeekMessageA range (0, 0 meaning all).
bool subsetMessageInRange(UINT message, UINT filterMin, UINT filterMax);

// True if a message for `target` passes the window filter (null meaning any window).
bool subsetWindowMatches(HWND target, HWND filter);

// ---- Timers (timer.cpp) ----

// Finds the first timer due at `now` that matches the filter; fills `msg` with its WM_TIMER.
// With `remove` the timer is rescheduled for its next period.
bool subsetTakeDueTimer(MSG* msg, HWND window, UINT filterMin, UINT filterMax, bool remove, Uint64 now);

// Milliseconds until the next timer that passes the filter is due (0 if one is due now), or -1
// with none.
Sint64 subsetMillisecondsToNextTimer(HWND window, UINT filterMin, UINT filterMax, Uint64 now);

// Stops every timer of a window that is going away.
void subsetKillWindowTimers(HWND window);

