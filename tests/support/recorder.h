// Stand-ins for OpenGL 1.1 and the Win32 calls the program makes. Every call is recorded as one
// line of text: its name and arguments, floats to 9 digits, strings quoted, handles as numbers,
// GL enums and window messages by name. The mesh between glBegin and glEnd is folded into one
// line with its call count and a digest. The Win32 stand-in answers with fixed handles and reads
// the messages a test queues.
#pragma once

#include "platform/win32.h"

#include <deque>
#include <string>
#include <vector>

// The calls since the last resetRecorder(), one line each; callsOf("X") gives those of X.
extern std::vector<std::string> trace;
std::vector<std::string> callsOf(const std::string& name);

extern const HWND fakeWindow;  // 1; the device context is 2, the GL context 3, the palette 4
extern const HDC fakeDC;
extern const HGLRC fakeContext;
extern const HPALETTE fakePalette;
extern const HINSTANCE fakeInstance;  // 5

// A queued message, which PeekMessageA finds only after `idleBefore` empty looks (so the idle
// hook runs that often first).
struct QueuedMessage {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    int idleBefore;
};

// A message written NAME:WPARAM,X,Y[,FRAMES] (X and Y lParam's halves), as the golden files'
// headings give them.
QueuedMessage queuedMessage(const std::string& word);

struct FakeWin32 {
    std::deque<QueuedMessage> queue;             // PostQuitMessage appends WM_QUIT
    PIXELFORMATDESCRIPTOR describedFormat = {};  // DescribePixelFormat's answer: true colour
    WNDPROC windowProc = nullptr;                // from RegisterClassA
};
extern FakeWin32 fakeWin32;

// An empty trace and queue, and the viewer state as the process starts it.
void resetRecorder();
// The viewer state in short: "fog=0 wire=0 drag=0 spin=0 anim=1 press=0,0 angle=2 hook=0".
std::string viewerState();

// ---- For the stand-ins: one call as a line ----
struct GlEnum {
    unsigned value;
};
struct Message {
    unsigned value;
};
struct Floats {
    const float* values;
    int count;
};
std::string text(double number);
std::string text(const char* string);  // small integers as resource ids (#101)
std::string text(GlEnum value);
std::string text(Message value);
std::string text(Floats values);
template <typename T>
std::string text(T* handle) {
    return text(double(reinterpret_cast<uintptr_t>(handle)));
}

template <typename... T>
void record(const char* name, T... arguments) {
    std::string line = name;
    ((line += ' ' + text(arguments)), ...);
    trace.push_back(line);
}

// Records the call and gives its result.
template <typename R, typename... T>
R answer(R result, const char* name, T... arguments) {
    record(name, arguments...);
    return result;
}
