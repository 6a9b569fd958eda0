// Private to the subset's Win32 core: what the handles point at, the process-wide records of
// the core, and the helpers its files share. Every private helper is named subset...; nothing
// here is visible to a program that uses the subset, and nothing here knows the backend's types.
//
// How the records map onto the backend's (the choices that differ from Windows are listed in
// win32_subset.h):
// - A window's native window is made when its pixel format is set, since a native window's
//   visual is fixed when it is made; a window shown with no pixel format gets a plain one, made
//   again with OpenGL if a format is set later.
// - A device context holds its own pixel format, filled once by SetPixelFormat when the window's
//   OpenGL window is made, with the depth buffer that window got.
#pragma once

#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "platform/backend.h"
#include "platform/win32_subset.h"

// The window's own device context (CS_OWNDC semantics: one per window, never changes).
struct SubsetDeviceContext {
    struct SubsetWindow* window = nullptr;
    int pixelFormat = 0;             // 0 until SetPixelFormat
    PIXELFORMATDESCRIPTOR format{};  // what SetPixelFormat set; never changed after
    HPALETTE palette = nullptr;      // null means the default palette
};

// What an HWND points at.
struct SubsetWindow {
    WNDPROC windowProc = nullptr;
    HICON icon = nullptr;
    std::string title;
    DWORD style = 0;
    bool placed = true;  // false for CW_USEDEFAULT: the system places it
    int x = 0, y = 0;
    int width = 0, height = 0;
    BackendWindow* native = nullptr;  // null until the window is realised
    bool nativeHasGl = false;
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

// ---- Process start (display.cpp) ----

// Remembers the program's name (argv[0]) for the failure line.
void subsetSetProgramName(const char* argv0);

// The one pixel format as it would be set, in the display's channel layout, with the depth
// buffer the subset prefers.
PIXELFORMATDESCRIPTOR subsetDescribeFormat();

// ---- Windows (window.cpp) ----

// The live window for a handle, or null for a handle that is not (or no longer) a window.
SubsetWindow* subsetFindWindow(HWND window);

// The live window whose own device context this is, or null.
SubsetWindow* subsetFindWindowByDeviceContext(HDC dc);

// A visible window that needs painting and passes the window filter, or null.
SubsetWindow* subsetFindUnpainted(HWND filter);

// The handle of a window record.
HWND subsetHandle(SubsetWindow* window);

// Calls the window procedure directly, as SendMessage does.
LRESULT subsetSendMessage(SubsetWindow* window, UINT message, WPARAM wParam, LPARAM lParam);

// Makes the window's plain native window if it has none yet; false if it cannot be made.
bool subsetRealiseWindow(SubsetWindow* window);

// Makes the window's native window with OpenGL, with the depth buffer closest to depthBits, in
// place of a plain one; returns the depth bits it got, or 0 (and keeps the old one) if no such
// window can be made.
BYTE subsetRealiseGlWindow(SubsetWindow* window, BYTE depthBits);

// ---- Input as messages (input.cpp) ----

// Where the mouse was last seen, in screen coordinates: the pt of every message.
POINT subsetMousePosition();

// ---- The message queue (message_queue.cpp) ----

// Appends a message to the queue, with the mouse position as its pt; a key-down carries the
// characters its key types, for TranslateMessage.
void subsetEnqueue(HWND window, UINT message, WPARAM wParam, LPARAM lParam, uint64_t time,
                   const std::string& typed = std::string());

// Gives the text a key typed to the newest queued message if that is the same window's key-down
// and types nothing yet; false otherwise.
bool subsetAttachTypedText(HWND window, const std::string& typed);

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
bool subsetTakeDueTimer(MSG* msg, HWND window, UINT filterMin, UINT filterMax, bool remove, uint64_t now);

// Milliseconds until the next timer that passes the filter is due (0 if one is due now), or -1
// with none.
int64_t subsetMillisecondsToNextTimer(HWND window, UINT filterMin, UINT filterMax, uint64_t now);

// Stops every timer of a window that is going away.
void subsetKillWindowTimers(HWND window);
