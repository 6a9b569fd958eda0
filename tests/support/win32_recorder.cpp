// The Win32 stand-in: records each call and answers as Windows does for one window with a true
// colour pixel format. What Windows sends itself (WM_CREATE, WM_PAINT, WM_DESTROY) goes straight
// to the registered window procedure; GetMessageA and PeekMessageA read fakeWin32.queue.
#include "tests/support/recorder.h"

const HWND fakeWindow = reinterpret_cast<HWND>(1);
const HDC fakeDC = reinterpret_cast<HDC>(2);
const HGLRC fakeContext = reinterpret_cast<HGLRC>(3);
const HPALETTE fakePalette = reinterpret_cast<HPALETTE>(4);
const HINSTANCE fakeInstance = reinterpret_cast<HINSTANCE>(5);

namespace {

LRESULT send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
    return fakeWin32.windowProc != nullptr ? fakeWin32.windowProc(fakeWindow, message, wParam, lParam) : 0;
}

// The descriptor's fields in their order.
int describe(int result, const char* name, HDC dc, int format, const PIXELFORMATDESCRIPTOR* d) {
    return answer(result, name, dc, format, d->nSize, d->nVersion, d->dwFlags, d->iPixelType, d->cColorBits,
                  d->cRedBits, d->cRedShift, d->cGreenBits, d->cGreenShift, d->cBlueBits, d->cBlueShift,
                  d->cAlphaBits, d->cAlphaShift, d->cAccumBits, d->cDepthBits, d->cStencilBits,
                  d->cAuxBuffers, d->iLayerType);
}

}  // namespace

extern "C" {

WORD WINAPI RegisterClassA(const WNDCLASSA* c) {
    fakeWin32.windowProc = c->lpfnWndProc;
    return answer(WORD(0xC001), "RegisterClassA", c->style, c->cbClsExtra, c->cbWndExtra, c->hInstance,
                  c->hIcon, c->hCursor, c->hbrBackground, c->lpszMenuName, c->lpszClassName);
}
HICON WINAPI LoadIconA(HINSTANCE i, LPCSTR name) {
    return answer(reinterpret_cast<HICON>(6), "LoadIconA", i, name);
}
HCURSOR WINAPI LoadCursorA(HINSTANCE i, LPCSTR name) {
    return answer(reinterpret_cast<HCURSOR>(7), "LoadCursorA", i, name);
}
int WINAPI MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
    return answer(IDOK, "MessageBoxA", owner, text, caption, type);
}
int WINAPI GetSystemMetrics(int index) {
    return answer(index == SM_CYSCREEN ? 1024 : 1280, "GetSystemMetrics", index);
}
HWND WINAPI CreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR title, DWORD style, int x, int y,
                            int width, int height, HWND parent, HMENU menu, HINSTANCE instance,
                            LPVOID param) {
    record("CreateWindowExA", exStyle, className, title, style, x, y, width, height, parent, menu, instance,
           param);
    send(WM_CREATE);
    return fakeWindow;
}
BOOL WINAPI ShowWindow(HWND w, int command) { return answer(FALSE, "ShowWindow", w, command); }
BOOL WINAPI UpdateWindow(HWND w) { return record("UpdateWindow", w), send(WM_PAINT), TRUE; }
BOOL WINAPI DestroyWindow(HWND w) { return record("DestroyWindow", w), send(WM_DESTROY), TRUE; }
// 99: a result no handler of the program gives itself.
LRESULT WINAPI DefWindowProcA(HWND w, UINT m, WPARAM wp, LPARAM lp) {
    return answer(LRESULT(99), "DefWindowProcA", w, Message{m}, wp, lp);
}
BOOL WINAPI SetWindowPos(HWND w, HWND after, int x, int y, int cx, int cy, UINT flags) {
    return answer(TRUE, "SetWindowPos", w, after, x, y, cx, cy, flags);
}
HWND WINAPI WindowFromDC(HDC dc) { return answer(fakeWindow, "WindowFromDC", dc); }

// An empty queue would wait for ever: PeekMessageA then says a message is there, and
// GetMessageA reports an error, which ends the message loop.
BOOL WINAPI GetMessageA(MSG* msg, HWND w, UINT first, UINT last) {
    record("GetMessageA", w, first, last);
    if (fakeWin32.queue.empty()) return -1;
    const QueuedMessage next = fakeWin32.queue.front();
    fakeWin32.queue.pop_front();
    *msg = MSG{fakeWindow, next.message, next.wParam, next.lParam, 0, {0, 0}};
    return next.message == WM_QUIT ? FALSE : TRUE;
}
BOOL WINAPI PeekMessageA(MSG*, HWND w, UINT first, UINT last, UINT flags) {
    record("PeekMessageA", w, first, last, flags);
    return fakeWin32.queue.empty() || fakeWin32.queue.front().idleBefore-- <= 0;
}
BOOL WINAPI TranslateMessage(const MSG* msg) {
    return answer(FALSE, "TranslateMessage", Message{msg->message});
}
// The window procedure's result follows its calls, as "  result R".
LRESULT WINAPI DispatchMessageA(const MSG* msg) {
    record("DispatchMessageA", Message{msg->message}, msg->wParam, msg->lParam);
    const LRESULT result = send(msg->message, msg->wParam, msg->lParam);
    return answer(result, "  result", result);
}
void WINAPI PostQuitMessage(int code) {
    record("PostQuitMessage", code);
    fakeWin32.queue.push_back({WM_QUIT, WPARAM(code), 0, 0});
}
UINT_PTR WINAPI SetTimer(HWND w, UINT_PTR id, UINT period, TIMERPROC proc) {
    return answer(id, "SetTimer", w, id, period, proc);
}
HWND WINAPI SetCapture(HWND w) { return answer(HWND(nullptr), "SetCapture", w); }
BOOL WINAPI ReleaseCapture() { return answer(TRUE, "ReleaseCapture"); }

HDC WINAPI GetDC(HWND w) { return answer(fakeDC, "GetDC", w); }
int WINAPI ReleaseDC(HWND w, HDC dc) { return answer(1, "ReleaseDC", w, dc); }
HDC WINAPI BeginPaint(HWND w, PAINTSTRUCT* paint) {
    return *paint = PAINTSTRUCT{}, answer(fakeDC, "BeginPaint", w);
}
BOOL WINAPI EndPaint(HWND w, const PAINTSTRUCT*) { return answer(TRUE, "EndPaint", w); }
int WINAPI ChoosePixelFormat(HDC dc, const PIXELFORMATDESCRIPTOR* d) {
    return describe(7, "ChoosePixelFormat", dc, 0, d);
}
BOOL WINAPI SetPixelFormat(HDC dc, int format, const PIXELFORMATDESCRIPTOR* d) {
    return describe(TRUE, "SetPixelFormat", dc, format, d);
}
int WINAPI GetPixelFormat(HDC dc) { return answer(7, "GetPixelFormat", dc); }
int WINAPI DescribePixelFormat(HDC dc, int format, UINT bytes, PIXELFORMATDESCRIPTOR* d) {
    *d = fakeWin32.describedFormat;
    return answer(7, "DescribePixelFormat", dc, format, bytes);
}

HGLRC WINAPI wglCreateContext(HDC dc) { return answer(fakeContext, "wglCreateContext", dc); }
BOOL WINAPI wglMakeCurrent(HDC dc, HGLRC context) { return answer(TRUE, "wglMakeCurrent", dc, context); }
BOOL WINAPI wglDeleteContext(HGLRC context) { return answer(TRUE, "wglDeleteContext", context); }

// The palette's version and size, and entries 0, 0x53, 0x87 and 255 where it has them, each as
// index:red,green,blue,flags.
HPALETTE WINAPI CreatePalette(const LOGPALETTE* p) {
    std::string entries;
    for (int i : {0, 0x53, 0x87, 255}) {
        if (i >= p->palNumEntries) continue;
        const PALETTEENTRY& e = p->palPalEntry[i];
        entries += (entries.empty() ? "" : " ") + std::to_string(i) + ":" + std::to_string(e.peRed) + "," +
                   std::to_string(e.peGreen) + "," + std::to_string(e.peBlue) + "," +
                   std::to_string(e.peFlags);
    }
    return answer(fakePalette, "CreatePalette", p->palVersion, p->palNumEntries, entries.c_str());
}
HPALETTE WINAPI SelectPalette(HDC dc, HPALETTE p, BOOL background) {
    return answer(HPALETTE(nullptr), "SelectPalette", dc, p, background);
}
UINT WINAPI RealizePalette(HDC dc) { return answer(0u, "RealizePalette", dc); }
BOOL WINAPI UnrealizeObject(HGDIOBJ object) { return answer(TRUE, "UnrealizeObject", object); }

}  // extern "C"
