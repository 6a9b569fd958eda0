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
    return faults != nullptr &&
           (std::string(",") + faults + ",").find(std::string(",") + call + ",") != std::string::npos;
}

}  // namespace

// The call NAME fails with FAILURE while it is listed, and goes to the real one otherwise.
#define WRAPPED(RESULT, NAME, FAILURE, PARAMETERS, ARGUMENTS) \
    RESULT WINAPI __real_##NAME PARAMETERS;                   \
    RESULT WINAPI __wrap_##NAME PARAMETERS { return failing(#NAME) ? FAILURE : __real_##NAME ARGUMENTS; }

extern "C" {

WRAPPED(WORD, RegisterClassA, 0, (const WNDCLASSA* c), (c))
WRAPPED(HWND, CreateWindowExA, nullptr,
        (DWORD e, LPCSTR c, LPCSTR t, DWORD s, int x, int y, int w, int h, HWND p, HMENU m, HINSTANCE i,
         LPVOID v),
        (e, c, t, s, x, y, w, h, p, m, i, v))
WRAPPED(int, ChoosePixelFormat, 0, (HDC dc, const PIXELFORMATDESCRIPTOR* d), (dc, d))
WRAPPED(BOOL, SetPixelFormat, FALSE, (HDC dc, int format, const PIXELFORMATDESCRIPTOR* d), (dc, format, d))
WRAPPED(HGLRC, wglCreateContext, nullptr, (HDC dc), (dc))

// Line feeds in the text show as \n, so that each box is one line.
int WINAPI __real_MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type);
int WINAPI __wrap_MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
    std::string shown = text != nullptr ? text : "";
    for (size_t at = shown.find('\n'); at != std::string::npos; at = shown.find('\n', at))
        shown.replace(at, 1, "\\n");
    std::fprintf(stderr, "box: %s: %s\n", caption != nullptr ? caption : "", shown.c_str());
    std::fflush(stderr);
    return __real_MessageBoxA(owner, text, caption, type);
}

}  // extern "C"
