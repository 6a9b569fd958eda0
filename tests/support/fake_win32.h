// A stand-in for the Win32 calls the program makes (SwapBuffers aside, which the GL recorder
// keeps): each call is recorded with its arguments, and the results the program looks at can be
// set by the test. Messages that Windows would send (WM_CREATE, WM_PAINT, WM_DESTROY, dispatched
// messages) go to the window procedure registered with RegisterClassA.
#pragma once

#include "platform/win32.h"

#include <deque>
#include <stdint.h>
#include <string>
#include <vector>

struct Win32Call {
    std::string name;
    std::vector<intptr_t> args;  // handles, integers and flags alike
    std::string text;            // string arguments, joined with '|'
};

// Handles the fake hands out.
extern const HWND fakeWindow;
extern const HDC fakeDC;
extern const HGLRC fakeContext;
extern const HPALETTE fakePalette;
extern const HINSTANCE fakeInstance;

// One entry of the fake queue. PeekMessageA finds the queue empty emptyPollsBefore times before
// it sees the entry (so the idle hook runs that many times first); an error entry makes
// GetMessageA return -1.
struct QueuedMessage {
    MSG message;
    int emptyPollsBefore;
    bool error;
};

struct FakeWin32 {
    // Results the program may look at.
    WORD registerClassResult = 0xC001;
    bool createWindowFails = false;
    int screenHeight = 1024;
    int choosePixelFormatResult = 7;
    BOOL setPixelFormatResult = TRUE;
    int getPixelFormatResult = 7;
    PIXELFORMATDESCRIPTOR describedFormat = {};  // all zero: RGBA, no palette needed
    HPALETTE createPaletteResult = fakePalette;
    HGLRC createContextResult = fakeContext;
    LRESULT defWindowProcResult = 0xDEF;

    // What GetMessageA and PeekMessageA read. PostQuitMessage appends WM_QUIT.
    std::deque<QueuedMessage> queue;

    // What the program handed over.
    WNDCLASSA registeredClass = {};
    WORD capturedPaletteVersion = 0;
    std::vector<PALETTEENTRY> capturedPalette;  // entries passed to the last CreatePalette
};

extern FakeWin32 fakeWin32;
extern std::vector<Win32Call> win32Calls;

// Back to the defaults above, with no calls recorded and an empty queue.
void resetFakeWin32();

// Appends a message for fakeWindow to the queue.
void queueMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0, int emptyPollsBefore = 0);
// Appends an entry on which GetMessageA fails.
void queueGetMessageError();

// The recorded calls' names, in order, and how often one name was called.
std::vector<std::string> win32CallNames();
int countWin32Calls(const std::string& name);
// The last call of that name; fails the test if there is none.
Win32Call lastWin32Call(const std::string& name);
