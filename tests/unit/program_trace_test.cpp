// The whole program against the recording stand-ins, start-up to Esc with frames at rest, with
// fog, as outlines, during a drag and spinning, compared call by call with the run recorded in
// tests/data/program_trace.txt; HELICOID_UPDATE_TRACE=1 records it anew.
#include "tests/support/recorder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int showCommand);

namespace {

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
    const char* const path = HELICOID_TEST_DATA "/program_trace.txt";
    if (std::getenv("HELICOID_UPDATE_TRACE") != nullptr) {
        std::ofstream out(path);
        for (const std::string& line : trace) out << line << '\n';
        GTEST_SKIP() << "recorded " << trace.size() << " calls in " << path;
    }
    std::ifstream in(path);
    std::vector<std::string> golden;
    for (std::string line; std::getline(in, line);) golden.push_back(line);
    size_t at = 0;  // the first call that differs, shown with three calls on each side
    while (at < trace.size() && at < golden.size() && trace[at] == golden[at]) ++at;
    const auto line = [](const std::vector<std::string>& lines, size_t i) {
        return i < lines.size() ? lines[i] : std::string();
    };
    std::string around;
    for (size_t i = at < 3 ? 0 : at - 3; i <= at + 3; ++i)
        around += std::to_string(i + 1) + (i == at ? " > " : "   ") + line(golden, i) + "  |  " +
                  line(trace, i) + "\n";
    EXPECT_TRUE(at == trace.size() && at == golden.size())
        << "the run differs from " << path << " at call " << at + 1 << " (recorded | now):\n"
        << around;
}

}  // namespace
