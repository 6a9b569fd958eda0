// The bare reference for the Windows build: the same scene set-up and the same frame, drawn by
// the same core code, in a plain Win32 window with a WGL context and a PeekMessage loop around
// it; no notice, no trackball, no idle hook. Esc or closing the window ends it.
#include "scene/scene.h"
#include "scene/viewer_state.h"

#include <windows.h>

#include <GL/gl.h>

namespace {

// The size the program's window has on a 1024-pixel-high screen.
const int windowSide = 819;

LRESULT CALLBACK loopWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_KEYDOWN:
        if (wParam == VK_ESCAPE) DestroyWindow(window);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

// The same request the program makes: double-buffered RGBA with 8 colour and 16 depth bits.
bool choosePixelFormat(HDC dc) {
    PIXELFORMATDESCRIPTOR descriptor = {};
    descriptor.nSize = sizeof descriptor;
    descriptor.nVersion = 1;
    descriptor.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
    descriptor.cColorBits = 8;  // PFD_TYPE_RGBA and PFD_MAIN_PLANE are 0
    descriptor.cDepthBits = 16;
    const int format = ChoosePixelFormat(dc, &descriptor);
    return format != 0 && SetPixelFormat(dc, format, &descriptor) == TRUE;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand) {
    WNDCLASSA windowClass = {};
    windowClass.style = CS_HREDRAW | CS_VREDRAW | CS_OWNDC;
    windowClass.lpfnWndProc = loopWindowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.lpszClassName = "wgl_loop";
    RegisterClassA(&windowClass);

    // Outer size as the program's, so the client area is the same too.
    HWND window =
        CreateWindowExA(0, "wgl_loop", "wgl_loop", WS_OVERLAPPEDWINDOW | WS_CLIPSIBLINGS | WS_CLIPCHILDREN,
                        50, 50, windowSide, windowSide, nullptr, nullptr, instance, nullptr);
    if (window == nullptr || !choosePixelFormat(hDC = GetDC(window))) return 1;
    hRC = wglCreateContext(hDC);
    wglMakeCurrent(hDC, hRC);

    windowWidth = windowHeight = windowSide;
    initScene();
    ShowWindow(window, showCommand);
    UpdateWindow(window);

    MSG message;
    for (;;) {
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) return int(message.wParam);
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        renderFrame();
    }
}
