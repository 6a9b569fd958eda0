// The window procedure against the recording stand-ins, as tables of cases whose outcomes are
// compared as one text with tests/data/window_procedure_cases.txt: messages before the rendering
// context and with a palette (their result, calls and the state they leave; the golden program
// trace has the others); scripts of presses, drags, releases and keys, written in the file's
// headings, fed through the message loop in an 800 x 800 window (the frames, the rotation step of
// each, the state); and the palette made
// for each kind of pixel format (its calls, some of its entries among them).
#include "app/message_loop.h"
#include "app/window_procedure.h"
#include "gl/palette.h"
#include "scene/redraw.h"
#include "scene/viewer_state.h"
#include "tests/support/recorder.h"
#include "tests/support/golden.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <new>
#include <sstream>

namespace {

struct MessageCase {
    const char* what;
    bool context, palette;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;  // a WM_CHAR's repeat count of 2 must still toggle once
};

const MessageCase messages[] = {
    {"BeforeTheContextSizesGetDefaultProcessing", false, false, WM_SIZE, 0, MAKELPARAM(9, 9)},
    {"BeforeTheContextPaintingIsLeftToDefault", false, false, WM_PAINT, 0, 0},
    {"BeforeTheContextAPressIsLeftToDefault", false, false, WM_LBUTTONDOWN, 0, 0},
    {"KeysWorkWithoutAContextAndToggleOncePerMessage", false, false, WM_CHAR, 'f', 2},
    {"OutlinesToggleOncePerMessage", true, false, WM_CHAR, 'p', 2},
    {"ANewPaletteIsRealisedAgain", false, true, WM_QUERYNEWPALETTE, 0, 0},
    {"AnotherWindowSPaletteChangeIsAnswered", true, true, WM_PALETTECHANGED, 9, 0},
    {"AnotherWindowSPaletteChangeWithoutAPaletteIsLeftToDefault", true, false, WM_PALETTECHANGED, 9, 0},
    {"ThisWindowSOwnPaletteChangeIsNot", true, true, WM_PALETTECHANGED, 1, 0},
};

// Each heading "== TrackballScripts/WHAT: START EVENT..." of the recorded cases is a script:
// START is rest (drawn continuously) or stopped (by a click), an event is MESSAGE:X,Y,FRAMES
// (down, move, up, or char with the character's code as X), FRAMES the frames the loop may draw
// before the message arrives.
const std::pair<std::string, UINT> eventMessages[] = {
    {"down", WM_LBUTTONDOWN}, {"move", WM_MOUSEMOVE}, {"up", WM_LBUTTONUP}, {"char", WM_CHAR}};

void queueScript(const std::string& script) {
    std::istringstream events(script);
    std::string event;
    events >> event;
    animating = event == "rest" ? 1 : 0;
    idleFunc = animating ? idleFrame : nullptr;
    for (int x = 0, y = 0, frames = 0; events >> event;) {
        std::sscanf(event.c_str() + event.find(':'), ":%d,%d,%d", &x, &y, &frames);
        for (const auto& [name, message] : eventMessages)
            if (event.rfind(name + ":", 0) == 0)
                fakeWin32.queue.push_back(
                    {message, message == WM_CHAR ? WPARAM(x) : 0, MAKELPARAM(x, y), frames});
    }
    fakeWin32.queue.push_back({WM_QUIT, 0, 0, 2});
}

bool failAllocation = false;  // makes the palette's memory unobtainable
const DWORD window = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER,
            paletted = window | PFD_NEED_PALETTE;

struct PaletteCase {
    const char* what;
    PIXELFORMATDESCRIPTOR format;  // flags, type, colour bits, red bits and shift, green, blue
    bool failAllocation;
};

PIXELFORMATDESCRIPTOR format(DWORD flags, BYTE type, BYTE bits, BYTE r, BYTE rShift, BYTE g, BYTE gShift,
                             BYTE b, BYTE bShift) {
    return {40, 1, flags, type, bits, r, rShift, g, gShift, b, bShift, 0, 0,
            0,  0, 0,     0,    0,    0, 0,      0, 0,      0, 0,      0, 0};
}

const PaletteCase palettes[] = {
    {"A332FormatSpreadsEachChannelEvenly", format(paletted, PFD_TYPE_RGBA, 8, 3, 0, 3, 3, 2, 6), false},
    {"AColourIndexFormatGetsOneToo", format(window, PFD_TYPE_COLORINDEX, 8, 3, 0, 3, 3, 2, 6), false},
    {"AChannelOfZeroBitsIsZeroInEveryEntry", format(paletted, PFD_TYPE_RGBA, 8, 3, 0, 3, 3, 0, 6), false},
    {"TrueColourNeedsNone", format(window, PFD_TYPE_RGBA, 24, 8, 16, 8, 8, 8, 0), false},
    {"A16BitPaletteFormatGetsNone", format(paletted, PFD_TYPE_RGBA, 16, 5, 0, 6, 5, 5, 11), false},
    {"NoPaletteWhenItsMemoryCannotBeHad", format(paletted, PFD_TYPE_RGBA, 8, 3, 0, 3, 3, 2, 6), true},
};

// The case's name, then the calls it made and what it left.
void write(std::string& text, const char* table, const char* what, const std::vector<std::string>& after) {
    text += std::string("== ") + table + "/" + what + "\n";
    for (const std::string& line : trace) text += line + "\n";
    for (const std::string& line : after) text += line + "\n";
}

TEST(WindowProcedure, EveryCaseEndsAsRecorded) {
    std::string text;
    for (const MessageCase& c : messages) {
        resetRecorder();
        windowWidth = windowHeight = 819;
        fakeWin32.windowProc = WndProc;
        hDC = fakeDC;
        hRC = c.context ? fakeContext : nullptr;
        hPalette = c.palette ? fakePalette : nullptr;
        const LRESULT result = WndProc(fakeWindow, c.message, c.wParam, c.lParam);
        write(text, "Messages", c.what, {"result " + std::to_string(result), viewerState()});
    }
    std::ifstream cases(std::string(HELICOID_TEST_DATA) + "/window_procedure_cases.txt");
    for (std::string heading; std::getline(cases, heading);) {
        if (heading.rfind("== TrackballScripts/", 0) != 0) continue;
        resetRecorder();
        windowWidth = windowHeight = 800;
        hDC = fakeDC;
        hRC = fakeContext;
        fakeWin32.windowProc = WndProc;
        queueScript(heading.substr(heading.find(": ") + 2));
        runMessageLoop();
        std::vector<std::string> after = callsOf("glRotatef");
        after.push_back(std::to_string(callsOf("SwapBuffers").size()) + " frames; " + viewerState());
        trace.clear();
        write(text, "TrackballScripts", heading.substr(20).c_str(), after);
    }
    for (const PaletteCase& c : palettes) {
        resetRecorder();
        fakeWin32.describedFormat = c.format;
        failAllocation = c.failAllocation;
        setupPalette(fakeDC);
        failAllocation = false;
        write(text, "Palettes", c.what, {hPalette == fakePalette ? "palette" : "no palette", viewerState()});
    }
    expectGolden("window_procedure_cases.txt", text);
}

}  // namespace

// The palette's memory comes from the nothrow array form, which a case can make fail.
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
    return failAllocation ? nullptr : ::operator new[](size);  // no test runs out of memory
}
