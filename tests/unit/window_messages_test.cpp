// The window procedure: each message, with and without a rendering context or a palette, gives
// its result, its calls and the viewer state it leaves.
#include "app/window_procedure.h"
#include "scene/viewer_state.h"
#include "tests/support/recorder.h"

#include <gtest/gtest.h>

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

const MessageCase cases[] = {
    {"AnySizeChangePutsTheFixedSizeBack", true, false, WM_SIZE, SIZE_MINIMIZED, 0, 0,
     {"SetWindowPos 1 0 0 0 819 819 2"}, resting},
    {"BeforeTheContextSizesGetDefaultProcessing", false, false, WM_SIZE, 0, MAKELPARAM(9, 9), 99,
     {"DefWindowProcA 1 WM_SIZE 0 589833"}, resting},
    {"PaintingValidatesAndAsksForAFrame", true, false, WM_PAINT, 0, 0, 0, {"BeginPaint 1", "EndPaint 1"}, asked},
    {"BeforeTheContextPaintingIsLeftToDefault", false, false, WM_PAINT, 0, 0, 99,
     {"DefWindowProcA 1 WM_PAINT 0 0"}, resting},
    {"APressCapturesTheMouseCoordinatesAreSigned", true, false, WM_LBUTTONDOWN, MK_LBUTTON,
     MAKELPARAM(-5, -7), 0, {"SetCapture 1"}, "fog=0 wire=0 drag=1 spin=1 anim=0 press=-5,-7 angle=2 hook=0"},
    {"BeforeTheContextAPressIsLeftToDefault", false, false, WM_LBUTTONDOWN, 0, 0, 99,
     {"DefWindowProcA 1 WM_LBUTTONDOWN 0 0"}, resting},
    {"AReleaseLetsTheMouseGo", true, false, WM_LBUTTONUP, 0, 0, 0, {"ReleaseCapture"}, resting},
    {"MotionIsPassedOnToDefaultProcessingToo", true, false, WM_MOUSEMOVE, 0, 0, 99,
     {"DefWindowProcA 1 WM_MOUSEMOVE 0 0"}, resting},
    {"FTogglesFog", false, false, WM_CHAR, 'f', 1, 0, {}, "fog=1 wire=0 drag=0 spin=0 anim=1 press=0,0 angle=2 hook=1"},
    {"PTogglesOutlines", true, false, WM_CHAR, 'p', 1, 0, {}, "fog=0 wire=1 drag=0 spin=0 anim=1 press=0,0 angle=2 hook=1"},
    {"JAndKOnlyAskForAFrame", true, false, WM_CHAR, 'j', 1, 0, {}, asked},
    {"CapitalsDoNothing", true, false, WM_CHAR, 'F', 1, 99, {"DefWindowProcA 1 WM_CHAR 70 1"}, resting},
    {"EscClosesTheWindowAndReleasesTheContexts", true, false, WM_CHAR, 27, 1, 0,
     {"DestroyWindow 1", "wglMakeCurrent 0 0", "wglDeleteContext 3", "ReleaseDC 1 2", "PostQuitMessage 0"}, resting},
    {"ANewPaletteIsRealisedAgain", false, true, WM_QUERYNEWPALETTE, 0, 0, 1, realise, asked},
    {"WithoutAPaletteThereIsNoneToRealise", true, false, WM_QUERYNEWPALETTE, 0, 0, 99,
     {"DefWindowProcA 1 WM_QUERYNEWPALETTE 0 0"}, resting},
    {"AnotherWindowSPaletteChangeIsAnswered", true, true, WM_PALETTECHANGED, 9, 0, 0, realise, asked},
    {"ThisWindowSOwnPaletteChangeIsNot", true, true, WM_PALETTECHANGED, 1, 0, 99,
     {"DefWindowProcA 1 WM_PALETTECHANGED 1 0"}, resting},
    {"TimerMessagesOnlyWakeTheLoop", true, false, WM_TIMER, 1, 0, 99, {"DefWindowProcA 1 WM_TIMER 1 0"}, resting},
};

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

}  // namespace
