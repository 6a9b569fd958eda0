// The process entry: registers the window class, shows the usage notice, opens the fixed-size
// square window and runs the message loop until the window is closed.
#include "app/icon_resource.h"
#include "app/message_loop.h"
#include "app/window_procedure.h"
#include "scene/viewer_state.h"
#include "scene/viewer_texts.h"

namespace {

// The window is square, 80 % of the screen height on each side.
const double windowSizeFraction = 0.8;

// Without a class or a window no quit message could ever arrive, so the loop would wait for
// ever: say which step failed and end instead.
int reportStartFailure(const char* text) {
    MessageBoxA(nullptr, text, "Error", MB_ICONERROR | MB_OK);
    return 1;
}

}  // namespace

// Starts the viewer and runs it until its window is closed; returns the exit code. The previous
// instance and the command line are not used.
int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand) {
    WNDCLASSA windowClass = {};
    windowClass.style = CS_HREDRAW | CS_VREDRAW | CS_OWNDC;
    windowClass.lpfnWndProc = WndProc;
    windowClass.cbClsExtra = 0;
    windowClass.cbWndExtra = 0;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(IDI_HELICOID));
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = nullptr;
    windowClass.lpszMenuName = nullptr;
    windowClass.lpszClassName = className;
    // Looked at only if the window cannot be made, to say which step failed; the steps keep
    // their order either way.
    const bool classRegistered = RegisterClassA(&windowClass) != 0;

    // Nothing else happens until the user has read the notice.
    MessageBoxA(nullptr, usageNoticeText, usageNoticeCaption, MB_OK);

    // Both sides come from the screen height; the conversion truncates towards zero.
    const int screenHeight = GetSystemMetrics(SM_CYSCREEN);
    windowWidth = int(screenHeight * windowSizeFraction);
    windowHeight = int(screenHeight * windowSizeFraction);

    // WM_CREATE runs the creation sequence before this returns.
    HWND window =
        CreateWindowExA(0, className, windowTitle, WS_OVERLAPPEDWINDOW | WS_CLIPSIBLINGS | WS_CLIPCHILDREN,
                        windowX, windowY, windowWidth, windowHeight, nullptr, nullptr, instance, nullptr);
    if (window == nullptr)
        return reportStartFailure(classRegistered ? "CreateWindow failed" : "RegisterClass failed");

    ShowWindow(window, showCommand);
    UpdateWindow(window);
    return runMessageLoop();
}
