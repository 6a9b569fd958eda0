// Fault injection for the test build of the program, by linker wrapping (-Wl,--wrap=NAME): the
// Win32 calls named in HELICOID_FAULTS (comma-separated, e.g. "ChoosePixelFormat,wglCreateContext")
// fail as Windows fails them, the others go through to the real ones, and every message box is
// reported on stderr as "box: CAPTION: TEXT" so a test can tell which box the program showed.
#include "platform/win32.h"

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

bool failing(const char* call) {
    const char* faults = std::getenv("HELICOID_FAULTS");
    if (faults == nullptr) return false;
    const std::string list = std::string(",") + faults + ",";
    return list.find(std::string(",") + call + ",") != std::string::npos;
}

}  // namespace

extern "C" {

WORD WINAPI __real_RegisterClassA(const WNDCLASSA* wndClass);
HWND WINAPI __real_CreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x, int y,
                                   int width, int height, HWND parent, HMENU menu, HINSTANCE instance, LPVOID param);
int WINAPI __real_ChoosePixelFormat(HDC dc, const PIXELFORMATDESCRIPTOR* descriptor);
BOOL WINAPI __real_SetPixelFormat(HDC dc, int format, const PIXELFORMATDESCRIPTOR* descriptor);
HGLRC WINAPI __real_wglCreateContext(HDC dc);
int WINAPI __real_MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type);

WORD WINAPI __wrap_RegisterClassA(const WNDCLASSA* wndClass) {
    return failing("RegisterClassA") ? 0 : __real_RegisterClassA(wndClass);
}

HWND WINAPI __wrap_CreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x, int y,
                                   int width, int height, HWND parent, HMENU menu, HINSTANCE instance, LPVOID param) {
    if (failing("CreateWindowExA")) return nullptr;
    return __real_CreateWindowExA(exStyle, className, windowName, style, x, y, width, height, parent, menu, instance,
                                  param);
}

int WINAPI __wrap_ChoosePixelFormat(HDC dc, const PIXELFORMATDESCRIPTOR* descriptor) {
    return failing("ChoosePixelFormat") ? 0 : __real_ChoosePixelFormat(dc, descriptor);
}

BOOL WINAPI __wrap_SetPixelFormat(HDC dc, int format, const PIXELFORMATDESCRIPTOR* descriptor) {
    return failing("SetPixelFormat") ? FALSE : __real_SetPixelFormat(dc, format, descriptor);
}

HGLRC WINAPI __wrap_wglCreateContext(HDC dc) {
    return failing("wglCreateContext") ? nullptr : __real_wglCreateContext(dc);
}

// Line feeds in the text show as \n, so that each box is one line.
int WINAPI __wrap_MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
    std::string shown = text != nullptr ? text : "";
    for (size_t at = shown.find('\n'); at != std::string::npos; at = shown.find('\n', at)) shown.replace(at, 1, "\\n");
    std::fprintf(stderr, "box: %s: %s\n", caption != nullptr ? caption : "", shown.c_str());
    std::fflush(stderr);
    return __real_MessageBoxA(owner, text, caption, type);
}

}  // extern "C"
