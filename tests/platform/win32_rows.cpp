// The steps of the rows and the window procedure that notes what it is sent.
#include "tests/platform/win32_rows.h"

#include <algorithm>
#include <cstdio>
#include <iterator>
#include <sstream>

namespace rows {

namespace {

std::string seen;  // the report of the row being run

const char* const className = "Win32Rows";
std::vector<HWND> windows;  // every window the rows opened

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

// The text of a message as the rows note it.
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

LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (nameOf(message) != nullptr) note(text(message, wParam, lParam));
    if (message == WM_PAINT) {  // validates, as a program must
        PAINTSTRUCT paint;
        BeginPaint(window, &paint);
        EndPaint(window, &paint);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

HWND open() {
    static bool registered = false;
    if (!registered) {
        WNDCLASSA windowClass = {};
        windowClass.lpfnWndProc = procedure;
        windowClass.lpszClassName = className;
        registered = RegisterClassA(&windowClass) != 0;
    }
    windows.push_back(CreateWindowExA(0, className, "rows", WS_POPUP, 40, 30, 200, 100, nullptr, nullptr,
                                      nullptr, nullptr));
    return windows.back();
}

void note(const std::string& prefix, const MSG& msg) {
    rows::note(prefix + text(msg.message, msg.wParam, msg.lParam));
}

void next() {
    MSG msg;
    const BOOL result = GetMessageA(&msg, nullptr, 0, 0);
    note(result != 1 ? std::to_string(result) + " got " : "got ", msg);
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
}

void drain(HWND window, UINT message) {
    for (MSG msg; PeekMessageA(&msg, window, message, message, PM_REMOVE);) note("got ", msg);
}

// Selects two new palettes and then the first one back into the window's device context, noting
// which palette each SelectPalette gave back as the one it replaced.
void selectPalettes(HWND window) {
    const HDC dc = GetDC(window);
    const LOGPALETTE entries = {0x300, 1, {{255, 0, 0, 0}}};
    const HPALETTE a = CreatePalette(&entries), b = CreatePalette(&entries);
    const HPALETTE first = SelectPalette(dc, a, FALSE);
    const auto name = [&](HPALETTE p) {
        return p == a ? "a" : p == b ? "b" : p == first ? "the first" : "?";
    };
    rows::note(std::string("a replaced ") + (first != nullptr && first != b ? "the first" : "?"));
    rows::note(std::string("b replaced ") + name(SelectPalette(dc, b, FALSE)));
    rows::note(std::string("the first replaced ") + name(SelectPalette(dc, first, FALSE)));
    ReleaseDC(window, dc);
}

// What each step does to the window, with the step's numbers.
using Action = void (*)(HWND& window, int a, int b);
const std::pair<std::string, Action> actions[] = {
    {"open", [](HWND& window, int, int) { window = open(); }},
    {"show", [](HWND& window, int, int) { ShowWindow(window, SW_SHOW); }},
    {"update", [](HWND& window, int, int) { UpdateWindow(window); }},
    {"destroy", [](HWND& window, int, int) { DestroyWindow(window); }},
    {"capture", [](HWND& window, int, int) { SetCapture(window); }},
    {"release", [](HWND&, int, int) { ReleaseCapture(); }},
    {"size", [](HWND& window, int a, int b) { SetWindowPos(window, HWND_TOP, 0, 0, a, b, SWP_NOMOVE); }},
    {"place",
     [](HWND& window, int a, int b) { SetWindowPos(window, HWND_TOP, a, b, 300, 150, SWP_NOZORDER); }},
    {"timer", [](HWND& window, int a, int b) { SetTimer(window, a, b, nullptr); }},
    {"kill", [](HWND& window, int a, int) { KillTimer(window, a); }},
    {"quit", [](HWND&, int a, int) { PostQuitMessage(a); }},
    {"pause", [](HWND&, int a, int) { pause(a); }},
    {"next", [](HWND&, int, int) { next(); }},
    {"peek",
     [](HWND& window, int, int) {
         MSG msg;
         if (PeekMessageA(&msg, window, 0, 0, PM_NOREMOVE)) note("peek ", msg);
     }},
    {"paints", [](HWND& window, int, int) { drain(window, WM_PAINT); }},
    {"timers", [](HWND& window, int, int) { drain(window, WM_TIMER); }},
    {"palettes", [](HWND& window, int, int) { selectPalettes(window); }},
};

}  // namespace

void note(const std::string& line) { seen += line + "\n"; }

std::vector<std::string> rowsOf(std::istream& golden) {
    std::vector<std::string> rows;
    for (std::string line; std::getline(golden, line);)
        if (line.rfind("== ", 0) == 0) rows.push_back(line.substr(3));
    return rows;
}

std::string report(const std::string& row,
                   const std::function<void(HWND, const std::string&, int, int)>& other) {
    seen = "== " + row + "\n";
    HWND window = nullptr;
    std::istringstream words(row.substr(row.find(": ") + 2));
    for (std::string step; words >> step;) {
        const std::string name = step.substr(0, step.find(':'));
        int a = 0, b = 0;
        std::sscanf(step.c_str() + name.size(), ":%d,%d", &a, &b);
        const auto known = std::find_if(std::begin(actions), std::end(actions),
                                        [&](const auto& action) { return action.first == name; });
        if (known != std::end(actions))
            known->second(window, a, b);
        else if (name[0] == '=')
            note(name.substr(1));
        else
            other(window, name, a, b);
    }
    const std::string report = seen;  // before the windows go, which the steps did not ask for
    for (HWND opened : windows) DestroyWindow(opened);
    windows.clear();
    return report;
}

}  // namespace rows
