// The rows that need no input, with the window procedure and the helpers every row uses.
#include "tests/platform/win32_rows.h"

#include <cstdio>

namespace rows {

std::vector<std::string> seen;

namespace {

const char* const className = "Win32Rows";
std::vector<HWND> opened;

// The messages the rows look at; a real Win32 sends many more, which go to default processing.
const std::pair<UINT, const char*> names[] = {
    {WM_CREATE, "WM_CREATE"},       {WM_DESTROY, "WM_DESTROY"},     {WM_SIZE, "WM_SIZE"},
    {WM_PAINT, "WM_PAINT"},         {WM_CLOSE, "WM_CLOSE"},         {WM_QUIT, "WM_QUIT"},
    {WM_KEYDOWN, "WM_KEYDOWN"},     {WM_KEYUP, "WM_KEYUP"},         {WM_CHAR, "WM_CHAR"},
    {WM_TIMER, "WM_TIMER"},         {WM_MOUSEMOVE, "WM_MOUSEMOVE"}, {WM_LBUTTONDOWN, "WM_LBUTTONDOWN"},
    {WM_LBUTTONUP, "WM_LBUTTONUP"},
};

const char* nameOf(UINT message) {
    for (const auto& [value, name] : names)
        if (value == message) return name;
    return nullptr;
}

LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (nameOf(message) != nullptr) seen.push_back(text(message, wParam, lParam));
    if (message == WM_PAINT) {  // validates, as a program must
        PAINTSTRUCT paint;
        BeginPaint(window, &paint);
        EndPaint(window, &paint);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

std::string text(UINT message, WPARAM wParam, LPARAM lParam) {
    const char* name = nameOf(message);
    std::string line = name != nullptr ? name : std::to_string(message);
    const int x = int16_t(LOWORD(lParam)), y = int16_t(HIWORD(lParam));
    char bits[16];
    std::snprintf(bits, sizeof bits, "%08lx", static_cast<unsigned long>(DWORD(lParam)));
    switch (message) {
    case WM_SIZE:
        return line + " " + std::to_string(wParam) + " " + std::to_string(x) + "x" + std::to_string(y);
    case WM_KEYDOWN:
    case WM_KEYUP:
        return line + " " + std::to_string(wParam) + " " + bits;
    case WM_CHAR:
    case WM_TIMER:
    case WM_QUIT:
        return line + " " + std::to_string(wParam);
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
        return line + " " + std::to_string(wParam) + " " + std::to_string(x) + "," + std::to_string(y);
    default:
        return line;
    }
}

HWND open() {
    static bool registered = false;
    if (!registered) {
        WNDCLASSA windowClass = {};
        windowClass.lpfnWndProc = procedure;
        windowClass.lpszClassName = className;
        registered = RegisterClassA(&windowClass) != 0;
    }
    opened.push_back(CreateWindowExA(0, className, "rows", WS_POPUP, 40, 30, 200, 100, nullptr, nullptr,
                                     nullptr, nullptr));
    return opened.back();
}

void closeAll() {
    for (HWND window : opened) DestroyWindow(window);
    opened.clear();
}

void next() {
    MSG msg;
    const BOOL result = GetMessageA(&msg, nullptr, 0, 0);
    seen.push_back((result != 1 ? std::to_string(result) + " " : std::string()) + "got " +
                   text(msg.message, msg.wParam, msg.lParam));
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
}

void drain(HWND window, UINT first, UINT last) {
    MSG msg;
    while (PeekMessageA(&msg, window, first, last, PM_REMOVE))
        seen.push_back("got " + text(msg.message, msg.wParam, msg.lParam));
}

const std::vector<Row> portable = {
    {"CreateWindowSendsCreateThenSizeBeforeItReturns",
     [] {
         seen.push_back("create");
         open();
         seen.push_back("returned");
     },
     {"create", "WM_CREATE", "WM_SIZE 0 200x100", "returned"}},
    {"UpdateWindowPaintsAtOnceAndPaintingValidates",
     [] {
         HWND window = open();
         ShowWindow(window, SW_SHOW);
         seen.push_back("shown");
         UpdateWindow(window);
         seen.push_back("updated");
         drain(window, WM_PAINT, WM_PAINT);
     },
     {"WM_CREATE", "WM_SIZE 0 200x100", "shown", "WM_PAINT", "updated"}},
    {"SizingSendsSizeBeforeSetWindowPosReturns",
     [] {
         HWND window = open();
         SetWindowPos(window, HWND_TOP, 0, 0, 300, 150, SWP_NOMOVE);
         seen.push_back("sized");
         SetWindowPos(window, HWND_TOP, 0, 0, 300, 150, SWP_NOMOVE);
         seen.push_back("same size");
     },
     {"WM_CREATE", "WM_SIZE 0 200x100", "WM_SIZE 0 300x150", "sized", "same size"}},
    {"PeekWithNoRemoveLeavesTheMessage",
     [] {
         HWND window = open();
         SetTimer(window, 3, 20, nullptr);
         pause(60);
         MSG msg;
         for (int look = 0; look < 2; ++look)
             if (PeekMessageA(&msg, window, 0, 0, PM_NOREMOVE))
                 seen.push_back("peek " + text(msg.message, msg.wParam, 0));
         KillTimer(window, 3);
     },
     {"WM_CREATE", "WM_SIZE 0 200x100", "peek WM_TIMER 3", "peek WM_TIMER 3"}},
    {"GetMessageGivesZeroAndTheQuitCode",
     [] {
         PostQuitMessage(7);
         next();
     },
     {"0 got WM_QUIT 7"}},
    {"QuitComesBeforePaintingAndPaintingBeforeTimers",
     [] {
         HWND window = open();
         ShowWindow(window, SW_SHOW);
         SetTimer(window, 5, 20, nullptr);
         pause(60);
         PostQuitMessage(3);
         for (int i = 0; i < 3; ++i) next();
         KillTimer(window, 5);
     },
     {"WM_CREATE", "WM_SIZE 0 200x100", "0 got WM_QUIT 3", "got WM_PAINT", "WM_PAINT", "got WM_TIMER 5",
      "WM_TIMER 5"}},
    {"ATimerGivesOneMessagePerPeriodAndNoBurstWhenLate",
     [] {
         HWND window = open();
         SetTimer(window, 9, 100, nullptr);
         pause(50);
         seen.push_back("50 ms");
         drain(window, WM_TIMER, WM_TIMER);
         pause(100);
         seen.push_back("150 ms");
         drain(window, WM_TIMER, WM_TIMER);
         pause(400);
         seen.push_back("550 ms");
         drain(window, WM_TIMER, WM_TIMER);
         KillTimer(window, 9);
     },
     {"WM_CREATE", "WM_SIZE 0 200x100", "50 ms", "150 ms", "got WM_TIMER 9", "550 ms", "got WM_TIMER 9"}},
    {"DestroyWindowSendsDestroy",
     [] {
         HWND window = open();
         DestroyWindow(window);
         seen.push_back("destroyed");
     },
     {"WM_CREATE", "WM_SIZE 0 200x100", "WM_DESTROY", "destroyed"}},
};

}  // namespace rows
