// Records the Win32 calls the program makes and answers them with the results a test has set.
// MessageBoxA also prints its box to stderr, so death tests can see what a dying process showed.
#include "tests/support/fake_win32.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <type_traits>

const HWND fakeWindow = reinterpret_cast<HWND>(0x1001);
const HDC fakeDC = reinterpret_cast<HDC>(0x2002);
const HGLRC fakeContext = reinterpret_cast<HGLRC>(0x3003);
const HPALETTE fakePalette = reinterpret_cast<HPALETTE>(0x4004);
const HINSTANCE fakeInstance = reinterpret_cast<HINSTANCE>(0x5005);

FakeWin32 fakeWin32;
std::vector<Win32Call> win32Calls;

namespace {

const HICON fakeIcon = reinterpret_cast<HICON>(0x6006);
const HCURSOR fakeCursor = reinterpret_cast<HCURSOR>(0x7007);

template <typename T>
intptr_t arg(T value) {
    if constexpr (std::is_pointer_v<T>)
        return reinterpret_cast<intptr_t>(value);
    else
        return intptr_t(value);
}

template <typename... T>
void record(const char* name, const std::string& text, T... values) {
    win32Calls.push_back({name, {arg(values)...}, text});
}

std::string stringOrNull(LPCSTR text) { return text == nullptr ? "(null)" : text; }

// Resource names may be small integers in pointer form.
std::string resourceName(LPCSTR name) {
    if (uintptr_t(name) <= 0xffff) return "#" + std::to_string(uintptr_t(name));
    return name;
}

std::string escaped(const std::string& text) {
    std::string out;
    for (char c : text) out += c == '\n' ? std::string("\\n") : std::string(1, c);
    return out;
}

LRESULT sendToWindow(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
    if (fakeWin32.registeredClass.lpfnWndProc == nullptr) return 0;
    return fakeWin32.registeredClass.lpfnWndProc(window, message, wParam, lParam);
}

}  // namespace

void resetFakeWin32() {
    fakeWin32 = FakeWin32{};
    win32Calls.clear();
}

void queueMessage(UINT message, WPARAM wParam, LPARAM lParam, int emptyPollsBefore) {
    MSG msg = {};
    msg.hwnd = fakeWindow;
    msg.message = message;
    msg.wParam = wParam;
    msg.lParam = lParam;
    fakeWin32.queue.push_back({msg, emptyPollsBefore, false});
}

void queueGetMessageError() { fakeWin32.queue.push_back({MSG{}, 0, true}); }

std::vector<std::string> win32CallNames() {
    std::vector<std::string> names;
    for (const Win32Call& call : win32Calls) names.push_back(call.name);
    return names;
}

int countWin32Calls(const std::string& name) {
    return int(std::count_if(win32Calls.begin(), win32Calls.end(), [&](const Win32Call& c) { return c.name == name; }));
}

Win32Call lastWin32Call(const std::string& name) {
    for (auto call = win32Calls.rbegin(); call != win32Calls.rend(); ++call)
        if (call->name == name) return *call;
    ADD_FAILURE() << "no call of " << name;
    return {};
}

extern "C" {

// Windows and classes.
WORD WINAPI RegisterClassA(const WNDCLASSA* wndClass) {
    fakeWin32.registeredClass = *wndClass;
    record("RegisterClassA", stringOrNull(wndClass->lpszClassName), wndClass->style);
    return fakeWin32.registerClassResult;
}

HWND WINAPI CreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x, int y,
                            int width, int height, HWND parent, HMENU menu, HINSTANCE instance, LPVOID param) {
    record("CreateWindowExA", stringOrNull(className) + "|" + stringOrNull(windowName), exStyle, style, x, y, width,
           height, parent, menu, instance, param);
    if (fakeWin32.createWindowFails) return nullptr;
    sendToWindow(fakeWindow, WM_CREATE);
    return fakeWindow;
}

BOOL WINAPI ShowWindow(HWND window, int showCommand) {
    record("ShowWindow", "", window, showCommand);
    return FALSE;
}

BOOL WINAPI UpdateWindow(HWND window) {
    record("UpdateWindow", "", window);
    sendToWindow(window, WM_PAINT);
    return TRUE;
}

BOOL WINAPI DestroyWindow(HWND window) {
    record("DestroyWindow", "", window);
    sendToWindow(window, WM_DESTROY);
    return TRUE;
}

LRESULT WINAPI DefWindowProcA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    record("DefWindowProcA", "", window, message, wParam, lParam);
    return fakeWin32.defWindowProcResult;
}

BOOL WINAPI SetWindowPos(HWND window, HWND insertAfter, int x, int y, int cx, int cy, UINT flags) {
    record("SetWindowPos", "", window, insertAfter, x, y, cx, cy, flags);
    return TRUE;
}

HWND WINAPI WindowFromDC(HDC dc) {
    record("WindowFromDC", "", dc);
    return fakeWindow;
}

// Messages.
BOOL WINAPI GetMessageA(MSG* msg, HWND window, UINT filterMin, UINT filterMax) {
    record("GetMessageA", "", window, filterMin, filterMax);
    if (fakeWin32.queue.empty()) {
        ADD_FAILURE() << "GetMessageA on an empty queue would wait for ever";
        *msg = MSG{};
        msg->message = WM_QUIT;
        msg->wParam = 99;
        return FALSE;
    }
    const QueuedMessage entry = fakeWin32.queue.front();
    fakeWin32.queue.pop_front();
    if (entry.error) return -1;
    *msg = entry.message;
    return msg->message == WM_QUIT ? FALSE : TRUE;
}

BOOL WINAPI PeekMessageA(MSG* msg, HWND window, UINT filterMin, UINT filterMax, UINT removeFlags) {
    record("PeekMessageA", "", window, filterMin, filterMax, removeFlags);
    if (fakeWin32.queue.empty()) return FALSE;
    QueuedMessage& front = fakeWin32.queue.front();
    if (front.emptyPollsBefore > 0) {
        --front.emptyPollsBefore;
        return FALSE;
    }
    if (!front.error) *msg = front.message;
    return TRUE;
}

BOOL WINAPI TranslateMessage(const MSG* msg) {
    record("TranslateMessage", "", msg->message);
    return FALSE;
}

LRESULT WINAPI DispatchMessageA(const MSG* msg) {
    record("DispatchMessageA", "", msg->message, msg->wParam, msg->lParam);
    return sendToWindow(msg->hwnd, msg->message, msg->wParam, msg->lParam);
}

void WINAPI PostQuitMessage(int exitCode) {
    record("PostQuitMessage", "", exitCode);
    MSG quit = {};
    quit.message = WM_QUIT;
    quit.wParam = WPARAM(exitCode);
    fakeWin32.queue.push_back({quit, 0, false});
}

// Timers and capture.
UINT_PTR WINAPI SetTimer(HWND window, UINT_PTR id, UINT elapse, TIMERPROC timerFunc) {
    record("SetTimer", "", window, id, elapse, timerFunc);
    return id;
}

HWND WINAPI SetCapture(HWND window) {
    record("SetCapture", "", window);
    return nullptr;
}

BOOL WINAPI ReleaseCapture(void) {
    record("ReleaseCapture", "");
    return TRUE;
}

// Dialogs and metrics.
int WINAPI MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
    record("MessageBoxA", stringOrNull(caption) + "|" + stringOrNull(text), owner, type);
    std::fprintf(stderr, "MessageBoxA owner=%#lx type=%#x caption=\"%s\" text=\"%s\"\n", (unsigned long)uintptr_t(owner),
                 type, escaped(stringOrNull(caption)).c_str(), escaped(stringOrNull(text)).c_str());
    return IDOK;
}

int WINAPI GetSystemMetrics(int index) {
    record("GetSystemMetrics", "", index);
    return index == SM_CYSCREEN ? fakeWin32.screenHeight : 0;
}

// Device contexts and painting.
HDC WINAPI GetDC(HWND window) {
    record("GetDC", "", window);
    return fakeDC;
}

int WINAPI ReleaseDC(HWND window, HDC dc) {
    record("ReleaseDC", "", window, dc);
    return 1;
}

HDC WINAPI BeginPaint(HWND window, PAINTSTRUCT* paint) {
    record("BeginPaint", "", window);
    *paint = PAINTSTRUCT{};
    paint->hdc = fakeDC;
    return fakeDC;
}

BOOL WINAPI EndPaint(HWND window, const PAINTSTRUCT*) {
    record("EndPaint", "", window);
    return TRUE;
}

// Pixel formats.
int WINAPI ChoosePixelFormat(HDC dc, const PIXELFORMATDESCRIPTOR* d) {
    record("ChoosePixelFormat", "", dc, d->nSize, d->nVersion, d->dwFlags, d->iPixelType, d->cColorBits,
           d->cDepthBits, d->iLayerType);
    return fakeWin32.choosePixelFormatResult;
}

BOOL WINAPI SetPixelFormat(HDC dc, int format, const PIXELFORMATDESCRIPTOR* d) {
    record("SetPixelFormat", "", dc, format, d->dwFlags, d->cColorBits, d->cDepthBits);
    return fakeWin32.setPixelFormatResult;
}

int WINAPI GetPixelFormat(HDC dc) {
    record("GetPixelFormat", "", dc);
    return fakeWin32.getPixelFormatResult;
}

int WINAPI DescribePixelFormat(HDC dc, int format, UINT bytes, PIXELFORMATDESCRIPTOR* descriptor) {
    record("DescribePixelFormat", "", dc, format, bytes);
    if (descriptor != nullptr) *descriptor = fakeWin32.describedFormat;
    return 1;
}

// WGL.
HGLRC WINAPI wglCreateContext(HDC dc) {
    record("wglCreateContext", "", dc);
    return fakeWin32.createContextResult;
}

BOOL WINAPI wglMakeCurrent(HDC dc, HGLRC context) {
    record("wglMakeCurrent", "", dc, context);
    return TRUE;
}

BOOL WINAPI wglDeleteContext(HGLRC context) {
    record("wglDeleteContext", "", context);
    return TRUE;
}

// Palettes.
HPALETTE WINAPI CreatePalette(const LOGPALETTE* palette) {
    record("CreatePalette", "", palette->palVersion, palette->palNumEntries);
    fakeWin32.capturedPaletteVersion = palette->palVersion;
    fakeWin32.capturedPalette.assign(palette->palPalEntry, palette->palPalEntry + palette->palNumEntries);
    return fakeWin32.createPaletteResult;
}

HPALETTE WINAPI SelectPalette(HDC dc, HPALETTE palette, BOOL forceBackground) {
    record("SelectPalette", "", dc, palette, forceBackground);
    return nullptr;
}

UINT WINAPI RealizePalette(HDC dc) {
    record("RealizePalette", "", dc);
    return 0;
}

BOOL WINAPI UnrealizeObject(HGDIOBJ object) {
    record("UnrealizeObject", "", object);
    return TRUE;
}

// Resources.
HICON WINAPI LoadIconA(HINSTANCE instance, LPCSTR name) {
    record("LoadIconA", resourceName(name), instance);
    return fakeIcon;
}

HCURSOR WINAPI LoadCursorA(HINSTANCE instance, LPCSTR name) {
    record("LoadCursorA", resourceName(name), instance);
    return fakeCursor;
}

}  // extern "C"
