// The whole program against the recording stand-ins, start-up to Esc with frames at rest, with
// fog, as outlines, during a drag and spinning, compared call by call with the run recorded in
// tests/data/program_trace.txt; HELICOID_UPDATE_TRACE=1 records it anew. A frame (glClearColor to
// SwapBuffers) that repeats the frame before it call for call is folded into one line, so that a
// change to one frame reads as that change. The file's first line is the input, as messages
// NAME:WPARAM,X,Y,FRAMES (FRAMES drawn before each arrives): f after a resting frame, f after a
// fog frame, p, a maximising size after an outlined frame (snapped back), p, F, j, the timer, a
// palette query (none on true colour), a release without a press, a press, a drag and a release
// away from it, and Esc after two spinning frames.
#include "tests/support/recorder.h"
#include "tests/support/golden.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
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
    std::ifstream recorded(std::string(HELICOID_TEST_DATA) + "/program_trace.txt");
    std::string input;
    ASSERT_TRUE(std::getline(recorded, input) && input.rfind("== input: ", 0) == 0);
    std::istringstream words(input.substr(10));
    for (std::string word; words >> word;) fakeWin32.queue.push_back(queuedMessage(word));
    ASSERT_EQ(WinMain(fakeInstance, nullptr, nullptr, SW_SHOWDEFAULT), 0);
    expectGolden("program_trace.txt", input + "\n" + folded(trace));
}

}  // namespace
