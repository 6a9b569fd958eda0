// The whole program against the recording stand-ins, start-up to Esc with frames at rest, with
// fog, as outlines, during a drag and spinning, compared call by call with the run recorded in
// tests/data/program_trace.txt; HELICOID_UPDATE_TRACE=1 records it anew. A frame (glClearColor to
// SwapBuffers) that repeats the frame before it call for call is folded into one line, so that a
// change to one frame reads as that change.
#include "tests/support/recorder.h"
#include "tests/support/golden.h"

#include <gtest/gtest.h>

#include <utility>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int showCommand);

namespace {

std::string folded(const std::vector<std::string>& calls) {
    std::string run, frame, previous;
    for (const std::string& call : calls) {
        const bool inFrame = !frame.empty() || call.rfind("glClearColor ", 0) == 0;
        (inFrame ? frame : run) += call + '\n';
        if (call.rfind("SwapBuffers ", 0) != 0) continue;
        run += frame == previous ? "  the frame before, again\n" : frame;
        previous = std::exchange(frame, {});
    }
    return run + frame;
}

TEST(ProgramTrace, EveryCallMatchesTheRecordedRun) {
    resetRecorder();
    fakeWin32.queue = {
        {WM_CHAR, 'f', 1, 1},                                  // a resting frame, then fog on
        {WM_CHAR, 'f', 1, 1},                                  // a fog frame, then fog off
        {WM_CHAR, 'p', 1, 0},                                  // outlines at once
        {WM_SIZE, SIZE_MAXIMIZED, MAKELPARAM(1280, 1005), 1},  // an outlined frame, then the size back
        {WM_CHAR, 'p', 1, 0},
        {WM_CHAR, 'F', 1, 0},  // capitals, the steps and the timer:
        {WM_CHAR, 'j', 1, 0},  // default processing, or only a frame
        {WM_TIMER, 1, 0, 0},
        {WM_QUERYNEWPALETTE, 0, 0, 0},             // no palette on true colour
        {WM_LBUTTONUP, 0, MAKELPARAM(10, 10), 0},  // a release without a press
        {WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(400, 400), 1},
        {WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(500, 420), 1},  // the last frame of before the press
        {WM_LBUTTONUP, 0, MAKELPARAM(520, 430), 1},           // the frame of the drag
        {WM_CHAR, 27, 1, 2},                                  // two spinning frames, then Esc
    };
    ASSERT_EQ(WinMain(fakeInstance, nullptr, nullptr, SW_SHOWDEFAULT), 0);
    expectGolden("program_trace.txt", folded(trace));
}

}  // namespace
