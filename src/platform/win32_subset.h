// A small Win32 subset for non-Windows hosts: a Win32 core over a backend (SDL2 on desktops, the
// browser in a web page). It knows nothing of any particular program; a Win32 program that keeps
// to these calls builds and runs unchanged.
//
// Implemented (behaving as Windows does for these calls):
//   entry:     WinMain is called from the subset's main() with SW_SHOWDEFAULT
//   windows:   RegisterClassA, CreateWindowExA (class by name; WM_CREATE before it returns),
//              ShowWindow, UpdateWindow, DestroyWindow, DefWindowProcA, SetWindowPos, WindowFromDC
//   messages:  GetMessageA (sleeps until input or the next timer), PeekMessageA, TranslateMessage,
//              DispatchMessageA, PostQuitMessage
//   timers:    SetTimer, KillTimer (a window's timers, with or without a timer procedure)
//   input:     the left button (WM_LBUTTONDOWN, WM_LBUTTONUP, WM_MOUSEMOVE with MK_LBUTTON), key-downs
//              and key-ups of letters, digits, Esc, Return, Tab and Backspace, WM_CHAR for what is
//              typed; SetCapture, ReleaseCapture
//   dialogs:   MessageBoxA
//   metrics:   GetSystemMetrics (SM_CXSCREEN, SM_CYSCREEN)
//   DCs:       GetDC, ReleaseDC, BeginPaint, EndPaint
//   formats:   ChoosePixelFormat, SetPixelFormat, GetPixelFormat, DescribePixelFormat, SwapBuffers
//   WGL:       wglCreateContext, wglMakeCurrent, wglDeleteContext
//   palettes:  CreatePalette, SelectPalette, RealizePalette, UnrealizeObject
//   resources: LoadIconA (the program's icon, or a stock one), LoadCursorA (stock cursors)
// Not implemented: everything else (child windows, menus, GDI drawing, keyboard state, ...).
//
// Where it differs from Windows, on purpose:
//   - A window's size (CreateWindowExA, SetWindowPos) is its client size. Windows takes it as
//     the outer size, frame included; with no window manager (Xvfb) there is no frame, so the
//     two agree there, and under a window manager the frame is added around the given size.
//   - One pixel format: RGBA true colour in the display's layout, double buffered, with the
//     depth buffer closest to the one asked for (a deeper one before a shallower one); it never
//     needs a palette. Buffer swaps wait for the display's refresh where the driver can, as
//     with WGL's default swap interval of 1. The device context describes the format with the
//     depth buffer it got, from SetPixelFormat on.
//   - Failures are Win32's: ChoosePixelFormat finds no format where there is no OpenGL at all
//     (no GLX); SetPixelFormat fails where no OpenGL window can be made; wglCreateContext gives
//     NULL where the GL cannot make a context (no driver, or indirect rendering the X server
//     refuses). X protocol errors on the way never end the process.
//   - Only a missing display ends the process: one line on stderr with SDL's error text, and
//     exit code 1.
//   - LoadIconA with the program's instance gives the program's one icon, whatever the name;
//     stock icons and every cursor are SDL's defaults.
//   - SIGINT and SIGTERM keep their default action; palette messages are never sent.
#pragma once

#include <stdint.h>

#define WINAPI
#define CALLBACK
#define APIENTRY

typedef int BOOL;
typedef unsigned char BYTE;
typedef uint16_t WORD;
typedef uint32_t DWORD;
typedef int32_t LONG;
typedef unsigned int UINT;
typedef uintptr_t UINT_PTR;
typedef uintptr_t WPARAM;
typedef intptr_t LPARAM;
typedef intptr_t LRESULT;
typedef char* LPSTR;
typedef const char* LPCSTR;
typedef void* LPVOID;

#define TRUE 1
#define FALSE 0

#define WIN32_SUBSET_HANDLE(name) typedef struct name##__* name
WIN32_SUBSET_HANDLE(HWND);
WIN32_SUBSET_HANDLE(HINSTANCE);
WIN32_SUBSET_HANDLE(HDC);
WIN32_SUBSET_HANDLE(HGLRC);
WIN32_SUBSET_HANDLE(HPALETTE);
WIN32_SUBSET_HANDLE(HICON);
WIN32_SUBSET_HANDLE(HCURSOR);
WIN32_SUBSET_HANDLE(HBRUSH);
WIN32_SUBSET_HANDLE(HMENU);
#undef WIN32_SUBSET_HANDLE
typedef void* HGDIOBJ;

typedef LRESULT(CALLBACK* WNDPROC)(HWND, UINT, WPARAM, LPARAM);
typedef void(CALLBACK* TIMERPROC)(HWND, UINT, UINT_PTR, DWORD);

typedef struct tagPOINT {
    LONG x;
    LONG y;
} POINT;

typedef struct tagRECT {
    LONG left;
    LONG top;
    LONG right;
    LONG bottom;
} RECT;

typedef struct tagMSG {
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    DWORD time;
    POINT pt;
} MSG;

typedef struct tagWNDCLASSA {
    UINT style;
    WNDPROC lpfnWndProc;
    int cbClsExtra;
    int cbWndExtra;
    HINSTANCE hInstance;
    HICON hIcon;
    HCURSOR hCursor;
    HBRUSH hbrBackground;
    LPCSTR lpszMenuName;
    LPCSTR lpszClassName;
} WNDCLASSA;

typedef struct tagPAINTSTRUCT {
    HDC hdc;
    BOOL fErase;
    RECT rcPaint;
    BOOL fRestore;
    BOOL fIncUpdate;
    BYTE rgbReserved[32];
} PAINTSTRUCT;

typedef struct tagPIXELFORMATDESCRIPTOR {
    WORD nSize;
    WORD nVersion;
    DWORD dwFlags;
    BYTE iPixelType;
    BYTE cColorBits;
    BYTE cRedBits;
    BYTE cRedShift;
    BYTE cGreenBits;
    BYTE cGreenShift;
    BYTE cBlueBits;
    BYTE cBlueShift;
    BYTE cAlphaBits;
    BYTE cAlphaShift;
    BYTE cAccumBits;
    BYTE cAccumRedBits;
    BYTE cAccumGreenBits;
    BYTE cAccumBlueBits;
    BYTE cAccumAlphaBits;
    BYTE cDepthBits;
    BYTE cStencilBits;
    BYTE cAuxBuffers;
    BYTE iLayerType;
    BYTE bReserved;
    DWORD dwLayerMask;
    DWORD dwVisibleMask;
    DWORD dwDamageMask;
} PIXELFORMATDESCRIPTOR;

typedef struct tagPALETTEENTRY {
    BYTE peRed;
    BYTE peGreen;
    BYTE peBlue;
    BYTE peFlags;
} PALETTEENTRY;

typedef struct tagLOGPALETTE {
    WORD palVersion;
    WORD palNumEntries;
    PALETTEENTRY palPalEntry[1];
} LOGPALETTE;

#define LOWORD(l) ((WORD)(((uintptr_t)(l)) & 0xffff))
#define HIWORD(l) ((WORD)((((uintptr_t)(l)) >> 16) & 0xffff))
#define MAKELONG(a, b) \
    ((LONG)(((WORD)(((uintptr_t)(a)) & 0xffff)) | ((DWORD)((WORD)(((uintptr_t)(b)) & 0xffff))) << 16))
#define MAKELPARAM(l, h) ((LPARAM)(DWORD)MAKELONG(l, h))
#define MAKEINTRESOURCEA(i) ((LPCSTR)((uintptr_t)((WORD)(i))))
#define IDC_ARROW MAKEINTRESOURCEA(32512)
#define IDI_APPLICATION MAKEINTRESOURCEA(32512)

// Messages.
#define WM_CREATE 0x0001
#define WM_DESTROY 0x0002
#define WM_SIZE 0x0005
#define WM_PAINT 0x000F
#define WM_CLOSE 0x0010
#define WM_QUIT 0x0012
#define WM_KEYDOWN 0x0100
#define WM_KEYUP 0x0101
#define WM_CHAR 0x0102
#define WM_TIMER 0x0113
#define WM_MOUSEMOVE 0x0200
#define WM_LBUTTONDOWN 0x0201
#define WM_LBUTTONUP 0x0202
#define WM_RBUTTONDOWN 0x0204
#define WM_RBUTTONUP 0x0205
#define WM_MBUTTONDOWN 0x0207
#define WM_MBUTTONUP 0x0208
#define WM_MOUSEWHEEL 0x020A
#define WM_QUERYNEWPALETTE 0x030F
#define WM_PALETTECHANGED 0x0311

// WM_SIZE kinds.
#define SIZE_RESTORED 0
#define SIZE_MINIMIZED 1
#define SIZE_MAXIMIZED 2

// Mouse key state in wParam.
#define MK_LBUTTON 0x0001

// Virtual keys used by the key-down translation.
#define VK_BACK 0x08
#define VK_TAB 0x09
#define VK_RETURN 0x0D
#define VK_ESCAPE 0x1B

// Class styles.
#define CS_VREDRAW 0x0001
#define CS_HREDRAW 0x0002
#define CS_OWNDC 0x0020

// Window styles.
#define WS_OVERLAPPED 0x00000000L
#define WS_CAPTION 0x00C00000L
#define WS_SYSMENU 0x00080000L
#define WS_THICKFRAME 0x00040000L
#define WS_MINIMIZEBOX 0x00020000L
#define WS_MAXIMIZEBOX 0x00010000L
#define WS_CLIPSIBLINGS 0x04000000L
#define WS_CLIPCHILDREN 0x02000000L
#define WS_POPUP 0x80000000L
#define WS_VISIBLE 0x10000000L
#define WS_OVERLAPPEDWINDOW \
    (WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX)
#define CW_USEDEFAULT ((int)0x80000000)

// ShowWindow commands.
#define SW_HIDE 0
#define SW_SHOWNORMAL 1
#define SW_SHOWMINIMIZED 2
#define SW_SHOWMAXIMIZED 3
#define SW_SHOW 5
#define SW_SHOWDEFAULT 10

// SetWindowPos.
#define HWND_TOP ((HWND)0)
#define SWP_NOSIZE 0x0001
#define SWP_NOMOVE 0x0002
#define SWP_NOZORDER 0x0004
#define SWP_NOACTIVATE 0x0010

// PeekMessage.
#define PM_NOREMOVE 0x0000
#define PM_REMOVE 0x0001

// MessageBox.
#define MB_OK 0x00000000L
#define MB_ICONERROR 0x00000010L
#define MB_ICONHAND MB_ICONERROR
#define IDOK 1

// GetSystemMetrics.
#define SM_CXSCREEN 0
#define SM_CYSCREEN 1

// Pixel formats.
#define PFD_TYPE_RGBA 0
#define PFD_TYPE_COLORINDEX 1
#define PFD_MAIN_PLANE 0
#define PFD_DOUBLEBUFFER 0x00000001
#define PFD_STEREO 0x00000002
#define PFD_DRAW_TO_WINDOW 0x00000004
#define PFD_DRAW_TO_BITMAP 0x00000008
#define PFD_SUPPORT_GDI 0x00000010
#define PFD_SUPPORT_OPENGL 0x00000020
#define PFD_GENERIC_FORMAT 0x00000040
#define PFD_NEED_PALETTE 0x00000080
#define PFD_NEED_SYSTEM_PALETTE 0x00000100

#ifdef __cplusplus
extern "C" {
#endif

// The program's entry, called by the subset's main().
int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPSTR lpCmdLine, int nShowCmd);

// Windows and classes.
WORD WINAPI RegisterClassA(const WNDCLASSA* wndClass);
HWND WINAPI CreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x, int y,
                            int width, int height, HWND parent, HMENU menu, HINSTANCE instance, LPVOID param);
BOOL WINAPI ShowWindow(HWND window, int showCommand);
BOOL WINAPI UpdateWindow(HWND window);
BOOL WINAPI DestroyWindow(HWND window);
LRESULT WINAPI DefWindowProcA(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
BOOL WINAPI SetWindowPos(HWND window, HWND insertAfter, int x, int y, int cx, int cy, UINT flags);
HWND WINAPI WindowFromDC(HDC dc);

// Messages.
BOOL WINAPI GetMessageA(MSG* msg, HWND window, UINT filterMin, UINT filterMax);
BOOL WINAPI PeekMessageA(MSG* msg, HWND window, UINT filterMin, UINT filterMax, UINT removeFlags);
BOOL WINAPI TranslateMessage(const MSG* msg);
LRESULT WINAPI DispatchMessageA(const MSG* msg);
void WINAPI PostQuitMessage(int exitCode);

// Timers.
UINT_PTR WINAPI SetTimer(HWND window, UINT_PTR id, UINT elapse, TIMERPROC timerFunc);
BOOL WINAPI KillTimer(HWND window, UINT_PTR id);

// Mouse capture.
HWND WINAPI SetCapture(HWND window);
BOOL WINAPI ReleaseCapture(void);

// Dialogs and metrics.
int WINAPI MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type);
int WINAPI GetSystemMetrics(int index);

// Device contexts and painting.
HDC WINAPI GetDC(HWND window);
int WINAPI ReleaseDC(HWND window, HDC dc);
HDC WINAPI BeginPaint(HWND window, PAINTSTRUCT* paint);
BOOL WINAPI EndPaint(HWND window, const PAINTSTRUCT* paint);

// Pixel formats and buffers.
int WINAPI ChoosePixelFormat(HDC dc, const PIXELFORMATDESCRIPTOR* descriptor);
BOOL WINAPI SetPixelFormat(HDC dc, int format, const PIXELFORMATDESCRIPTOR* descriptor);
int WINAPI GetPixelFormat(HDC dc);
int WINAPI DescribePixelFormat(HDC dc, int format, UINT bytes, PIXELFORMATDESCRIPTOR* descriptor);
BOOL WINAPI SwapBuffers(HDC dc);

// WGL.
HGLRC WINAPI wglCreateContext(HDC dc);
BOOL WINAPI wglMakeCurrent(HDC dc, HGLRC context);
BOOL WINAPI wglDeleteContext(HGLRC context);

// Palettes.
HPALETTE WINAPI CreatePalette(const LOGPALETTE* palette);
HPALETTE WINAPI SelectPalette(HDC dc, HPALETTE palette, BOOL forceBackground);
UINT WINAPI RealizePalette(HDC dc);
BOOL WINAPI UnrealizeObject(HGDIOBJ object);

// Resources.
HICON WINAPI LoadIconA(HINSTANCE instance, LPCSTR name);
HCURSOR WINAPI LoadCursorA(HINSTANCE instance, LPCSTR name);

#ifdef __cplusplus
}
#endif
