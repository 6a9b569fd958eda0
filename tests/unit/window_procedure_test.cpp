// The window procedure against the recording stand-ins: messages before the rendering context and
// with a palette give their result, calls and state (the golden trace has the others); scripts of
// presses, drags and releases fed through the message loop leave their state, frames and rotation
// steps (in an 800 x 800 window); and the palette made for each kind of pixel format.
#include "app/message_loop.h"
#include "app/window_procedure.h"
#include "gl/palette.h"
#include "scene/redraw.h"
#include "scene/viewer_state.h"
#include "tests/support/recorder.h"

#include <gtest/gtest.h>

#include <array>
#include <new>

namespace {

using Calls = std::vector<std::string>;

struct MessageCase {
    const char* what;
    bool context, palette;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    LRESULT result;
    Calls calls;
    const char* state;
};

const char* const resting = "fog=0 wire=0 drag=0 spin=0 anim=1 press=0,0 angle=2 hook=0";
const char* const asked = "fog=0 wire=0 drag=0 spin=0 anim=1 press=0,0 angle=2 hook=1";
const Calls realise = {"UnrealizeObject 4", "SelectPalette 2 4 0", "RealizePalette 2"};

// A table, a row each, laid out as one.
// clang-format off
const MessageCase cases[] = {
    {"BeforeTheContextSizesGetDefaultProcessing", false, false, WM_SIZE, 0, MAKELPARAM(9, 9), 99,
     {"DefWindowProcA 1 WM_SIZE 0 589833"}, resting},
    {"BeforeTheContextPaintingIsLeftToDefault", false, false, WM_PAINT, 0, 0, 99,
     {"DefWindowProcA 1 WM_PAINT 0 0"}, resting},
    {"BeforeTheContextAPressIsLeftToDefault", false, false, WM_LBUTTONDOWN, 0, 0, 99,
     {"DefWindowProcA 1 WM_LBUTTONDOWN 0 0"}, resting},
    // A repeat count of 2 in lParam still toggles once.
    {"KeysWorkWithoutAContextAndToggleOncePerMessage", false, false, WM_CHAR, 'f', 2, 0, {},
     "fog=1 wire=0 drag=0 spin=0 anim=1 press=0,0 angle=2 hook=1"},
    {"OutlinesToggleOncePerMessage", true, false, WM_CHAR, 'p', 2, 0, {},
     "fog=0 wire=1 drag=0 spin=0 anim=1 press=0,0 angle=2 hook=1"},
    {"ANewPaletteIsRealisedAgain", false, true, WM_QUERYNEWPALETTE, 0, 0, 1, realise, asked},
    {"AnotherWindowSPaletteChangeIsAnswered", true, true, WM_PALETTECHANGED, 9, 0, 0, realise, asked},
    {"AnotherWindowSPaletteChangeWithoutAPaletteIsLeftToDefault", true, false, WM_PALETTECHANGED, 9, 0, 99,
     {"DefWindowProcA 1 WM_PALETTECHANGED 9 0"}, resting},
    {"ThisWindowSOwnPaletteChangeIsNot", true, true, WM_PALETTECHANGED, 1, 0, 99,
     {"DefWindowProcA 1 WM_PALETTECHANGED 1 0"}, resting},
};
// clang-format on

class WindowMessages : public ::testing::TestWithParam<MessageCase> {};

TEST_P(WindowMessages, GiveTheirResultCallsAndState) {
    const MessageCase& c = GetParam();
    resetRecorder();
    windowWidth = windowHeight = 819;
    fakeWin32.windowProc = WndProc;
    hDC = fakeDC;
    hRC = c.context ? fakeContext : nullptr;
    hPalette = c.palette ? fakePalette : nullptr;
    EXPECT_EQ(WndProc(fakeWindow, c.message, c.wParam, c.lParam), c.result);
    EXPECT_EQ(trace, c.calls);
    EXPECT_EQ(viewerState(), c.state);
}

INSTANTIATE_TEST_SUITE_P(Cases, WindowMessages, ::testing::ValuesIn(cases),
                         [](const auto& info) { return std::string(info.param.what); });

struct Event {
    UINT message;
    int x, y;        // a WM_CHAR's character in x
    int idleBefore;  // frames the loop may draw before this message arrives
};

struct Script {
    const char* what;
    bool stopped;  // starts stopped by a click rather than resting (drawn continuously)
    std::vector<Event> events;
    int frames;
    std::vector<std::string> steps;  // the glRotatef of each frame that turned the model
    const char* state;
};

const char* const startStep = "glRotatef 2 0.300000012 0.200000003 0.400000006";

// A table, a row each, laid out as one.
// clang-format off
const Script scripts[] = {
    {"AClickAtRestStopsTheModelAfterOneFrameWithTheCurrentStep", false,
     {{WM_LBUTTONDOWN, 400, 400, 2}, {WM_LBUTTONUP, 400, 400, 1}}, 4, {startStep},
     "fog=0 wire=0 drag=0 spin=0 anim=0 press=400,400 angle=0 hook=0"},
    {"AClickWhenStoppedDrawsOnlyTheFrameOfTheRelease", true,
     {{WM_LBUTTONDOWN, 300, 300, 0}, {WM_LBUTTONUP, 300, 300, 0}}, 1, {},
     "fog=0 wire=0 drag=0 spin=0 anim=0 press=300,300 angle=0 hook=0"},
    {"ADragToTheRightTurnsAboutTheVerticalAxisByTheLastStepOfABurst", true, {{WM_LBUTTONDOWN, 400, 400, 0},
     {WM_MOUSEMOVE, 450, 400, 0}, {WM_MOUSEMOVE, 500, 400, 0}, {WM_LBUTTONUP, 400, 400, 1}}, 2,
     {"glRotatef 12.3655844 0 0.137070775 0"},
     "fog=0 wire=0 drag=0 spin=0 anim=0 press=400,400 angle=0 hook=0"},
    {"ADragUpwardsReleasedAwaySpinsOnAboutTheHorizontalAxis", true,
     {{WM_LBUTTONDOWN, 400, 400, 0}, {WM_MOUSEMOVE, 400, 300, 0}, {WM_LBUTTONUP, 450, 250, 1}}, 3,
     {3, "glRotatef 23.7150764 -0.261203885 0 0"},
     "fog=0 wire=0 drag=0 spin=1 anim=1 press=400,400 angle=23.7 hook=1"},
    {"AReleaseAwayWithNoMotionSpinsWithTheStepOfBeforeThePress", false,
     {{WM_LBUTTONDOWN, 400, 400, 1}, {WM_LBUTTONUP, 410, 400, 1}}, 4, {3, startStep},
     "fog=0 wire=0 drag=0 spin=1 anim=1 press=400,400 angle=2 hook=1"},
    {"AReleaseWhileSpinningStopsOnlyAtTheStoredPressPoint", false, {{WM_LBUTTONDOWN, 400, 400, 0},
     {WM_LBUTTONUP, 410, 400, 0}, {WM_LBUTTONUP, 10, 20, 0}, {WM_LBUTTONUP, 400, 400, 1}}, 2, {startStep},
     "fog=0 wire=0 drag=0 spin=0 anim=0 press=400,400 angle=0 hook=0"},
    {"MotionToTheSameSpherePointGivesAStepThatTurnsNothing", true,
     {{WM_LBUTTONDOWN, 400, 400, 0}, {WM_MOUSEMOVE, 400, 400, 1}, {WM_LBUTTONUP, 401, 400, 2}}, 3, {},
     "fog=0 wire=0 drag=0 spin=1 anim=1 press=400,400 angle=0 hook=1"},
    {"ADragOutAboveAndLeftOfTheWindowTurnsTowardsTheRim", true,
     {{WM_LBUTTONDOWN, 400, 400, 0}, {WM_MOUSEMOVE, -300, -200, 0}, {WM_LBUTTONUP, 400, 400, 1}}, 2,
     {"glRotatef 127.279221 -0.650791407 -0.759256601 0"},
     "fog=0 wire=0 drag=0 spin=0 anim=0 press=400,400 angle=0 hook=0"},
    {"AKeyWhileSpinningFreelyLeavesTheSpinGoing", false,
     {{WM_LBUTTONDOWN, 400, 400, 0}, {WM_LBUTTONUP, 410, 400, 0}, {WM_CHAR, 'p', 0, 2}}, 4, {4, startStep},
     "fog=0 wire=1 drag=0 spin=1 anim=1 press=400,400 angle=2 hook=1"},
    {"AReleaseWithoutAPressWhenStoppedChangesNothing", true, {{WM_LBUTTONUP, 300, 300, 0}}, 0, {},
     "fog=0 wire=0 drag=0 spin=0 anim=0 press=0,0 angle=2 hook=0"},
    {"MotionWithoutAPressChangesNothing", true, {{WM_MOUSEMOVE, 500, 500, 0}}, 0, {},
     "fog=0 wire=0 drag=0 spin=0 anim=0 press=0,0 angle=2 hook=0"},
};
// clang-format on

class TrackballScripts : public ::testing::TestWithParam<Script> {};

TEST_P(TrackballScripts, LeaveTheirStateFramesAndSteps) {
    const Script& s = GetParam();
    resetRecorder();
    windowWidth = windowHeight = 800;
    hDC = fakeDC;
    hRC = fakeContext;
    fakeWin32.windowProc = WndProc;
    animating = s.stopped ? 0 : 1;
    idleFunc = s.stopped ? nullptr : idleFrame;
    for (const Event& e : s.events)
        fakeWin32.queue.push_back(
            {e.message, e.message == WM_CHAR ? WPARAM(e.x) : 0, MAKELPARAM(e.x, e.y), e.idleBefore});
    fakeWin32.queue.push_back({WM_QUIT, 0, 0, 2});
    runMessageLoop();
    EXPECT_EQ(int(callsOf("SwapBuffers").size()), s.frames);
    EXPECT_EQ(callsOf("glRotatef"), s.steps);
    EXPECT_EQ(viewerState(), s.state);
}

INSTANTIATE_TEST_SUITE_P(Scripts, TrackballScripts, ::testing::ValuesIn(scripts),
                         [](const auto& info) { return std::string(info.param.what); });

bool failAllocation = false;  // makes the palette's memory unobtainable
const DWORD window = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER,
            paletted = window | PFD_NEED_PALETTE;

struct PaletteCase {
    const char* what;
    PIXELFORMATDESCRIPTOR format;  // flags, type, colour bits, red bits and shift, green, blue
    bool failAllocation;
    int count;                                // entries, or 0 for no palette
    std::vector<std::array<int, 4>> entries;  // index, red, green, blue
};

PIXELFORMATDESCRIPTOR format(DWORD flags, BYTE type, BYTE bits, BYTE r, BYTE rShift, BYTE g, BYTE gShift,
                             BYTE b, BYTE bShift) {
    return {40, 1, flags, type, bits, r, rShift, g, gShift, b, bShift, 0, 0,
            0,  0, 0,     0,    0,    0, 0,      0, 0,      0, 0,      0, 0};
}

// 3-3-2: red and green in steps of 255/7, blue in steps of 255/3, truncated.
// A table, a row each, laid out as one.
// clang-format off
const PaletteCase palettes[] = {
    {"A332FormatSpreadsEachChannelEvenly", format(paletted, PFD_TYPE_RGBA, 8, 3, 0, 3, 3, 2, 6), false, 256,
     {{0, 0, 0, 0}, {255, 255, 255, 255}, {0x53, 109, 72, 85}, {0x87, 255, 0, 170}}},
    {"AColourIndexFormatGetsOneToo", format(window, PFD_TYPE_COLORINDEX, 8, 3, 0, 3, 3, 2, 6), false, 256,
     {{255, 255, 255, 255}}},
    {"AChannelOfZeroBitsIsZeroInEveryEntry", format(paletted, PFD_TYPE_RGBA, 8, 3, 0, 3, 3, 0, 6), false, 256,
     {{255, 255, 255, 0}, {0x87, 255, 0, 0}}},
    {"TrueColourNeedsNone", format(window, PFD_TYPE_RGBA, 24, 8, 16, 8, 8, 8, 0), false, 0, {}},
    {"APaletteFormatDeeperThanAPaletteCanCountGetsNone",
     format(paletted, PFD_TYPE_RGBA, 16, 5, 0, 6, 5, 5, 11), false, 0, {}},
    {"NoPaletteWhenItsMemoryCannotBeHad", format(paletted, PFD_TYPE_RGBA, 8, 3, 0, 3, 3, 2, 6), true, 0, {}},
};
// clang-format on

class Palettes : public ::testing::TestWithParam<PaletteCase> {};

TEST_P(Palettes, FollowThePixelFormat) {
    const PaletteCase& c = GetParam();
    resetRecorder();
    fakeWin32.describedFormat = c.format;
    failAllocation = c.failAllocation;
    setupPalette(fakeDC);
    failAllocation = false;
    std::vector<std::string> calls = {"GetPixelFormat 2", "DescribePixelFormat 2 7 40"};
    if (c.count > 0)
        calls.insert(calls.end(), {"CreatePalette 768 " + std::to_string(c.count), "SelectPalette 2 4 0",
                                   "RealizePalette 2"});
    EXPECT_EQ(trace, calls);
    EXPECT_EQ(hPalette, c.count > 0 ? fakePalette : nullptr);
    EXPECT_EQ(idleFunc, nullptr) << "making the palette draws nothing";
    for (const auto& e : c.entries) {
        const PALETTEENTRY& entry = fakeWin32.palette.at(e[0]);
        EXPECT_EQ((std::array<int, 5>{e[0], entry.peRed, entry.peGreen, entry.peBlue, entry.peFlags}),
                  (std::array<int, 5>{e[0], e[1], e[2], e[3], 0}));
    }
}

INSTANTIATE_TEST_SUITE_P(Formats, Palettes, ::testing::ValuesIn(palettes),
                         [](const auto& info) { return std::string(info.param.what); });

}  // namespace

// The palette's memory comes from the nothrow array form, which a case can make fail.
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
    return failAllocation ? nullptr : ::operator new[](size);  // no test runs out of memory
}
