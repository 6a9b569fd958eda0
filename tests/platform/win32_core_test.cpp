// The subset's Win32 core on its own, through the fake backend: the rows that need no input (which
// also run on a real Win32), then rows with input the fake backend gives, and what the core asked
// of the backend where that is the behaviour.
#include "tests/platform/fake_backend.h"
#include "tests/platform/win32_rows.h"

#include <gtest/gtest.h>

void rows::pause(unsigned ms) { fake::now += ms; }

namespace {

using rows::opened;

// The input steps, given to the core at its next pump: key:VK (down), repeat:VK, up:VK, text:C
// (the character C typed), move:X,Y and drag:X,Y (with the left button down), sized:W,H,
// minimize, restore, close; and requests, which notes what the core asked of the backend.
void input(HWND window, const std::string& step, int a, int b) {
    const uint64_t t = fake::now;
    const std::string typed(1, char(a));
    if (step == "requests") {
        rows::seen.insert(rows::seen.end(), fake::requests.begin(), fake::requests.end());
        fake::requests.clear();
        return;
    }
    fake::input.push_back([=] {
        if (step == "key" || step == "repeat" || step == "up")
            coreKeyInput(window, WORD(a), step != "up", step == "repeat", t);
        if (step == "text") coreTextInput(window, typed.c_str(), t);
        if (step == "move" || step == "drag")
            coreMouseInput(window, WM_MOUSEMOVE, step == "drag", a, b, a + 40, b + 30, t);
        if (step == "sized") coreSizeInput(window, a, b, false, t);
        if (step == "minimize") coreMinimizeInput(window, t);
        if (step == "restore") coreRestoreInput(window, false, t);
        if (step == "close") coreCloseInput(window, t);
    });
}

// clang-format off
const std::vector<rows::Row> withInput = {
    {"ATypedCharacterComesRightAfterItsKeyDownBeforeLaterInput",
     "open key:70 text:102 move:5,6 next next next",
     opened({"got WM_KEYDOWN 70 00000001", "WM_KEYDOWN 70 00000001", "got WM_CHAR 102", "WM_CHAR 102",
             "got WM_MOUSEMOVE 0 5,6", "WM_MOUSEMOVE 0 5,6"})},
    {"KeyMessagesCarryWindowsBitsAndEscTypes27", "open key:27 repeat:27 up:27 next next next next next",
     opened({"got WM_KEYDOWN 27 00000001", "WM_KEYDOWN 27 00000001", "got WM_CHAR 27", "WM_CHAR 27",
             "got WM_KEYDOWN 27 40000001", "WM_KEYDOWN 27 40000001", "got WM_CHAR 27", "WM_CHAR 27",
             "got WM_KEYUP 27 c0000001", "WM_KEYUP 27 c0000001"})},
    {"CaptureGivesPointsOutsideTheWindowAsNegativeHalves", "open capture drag:-20,-30 next release requests",
     opened({"got WM_MOUSEMOVE 1 -20,-30", "WM_MOUSEMOVE 1 -20,-30", "capture on", "capture off"})},
    {"SetWindowPosMovesUnlessToldNotToAndRaises",
     "open show requests =sized size:300,150 place:60,70 requests",
     opened({"create 1 40,30 200x100", "show 1", "sized", "WM_SIZE 0 300x150", "size 300x150", "raise 1",
             "move 60,70"})},
    {"SizesTheUserGivesAreReportedOnceAndARestoredWindowIsPainted",
     "open show update sized:500,400 sized:500,400 minimize restore next next next next",
     opened({"WM_PAINT", "got WM_SIZE 0 500x400", "WM_SIZE 0 500x400", "got WM_SIZE 1 0x0",
             "WM_SIZE 1 0x0", "got WM_SIZE 0 500x400", "WM_SIZE 0 500x400", "got WM_PAINT", "WM_PAINT"})},
    {"TheCloseButtonDestroysTheWindowThroughDefaultProcessing",
     "open show update requests =shown close next requests",
     opened({"WM_PAINT", "create 1 40,30 200x100", "show 1", "shown", "got WM_CLOSE", "WM_CLOSE",
             "WM_DESTROY", "destroy 1"})},
};
// clang-format on

class Win32Core : public ::testing::TestWithParam<rows::Row> {};

TEST_P(Win32Core, BehavesAsWindowsDoes) {
    rows::seen.clear();
    fake::reset();
    rows::run(GetParam().steps, input);
    EXPECT_EQ(rows::seen, GetParam().seen);
    rows::closeAll();
}

const auto name = [](const auto& info) { return std::string(info.param.what); };
INSTANTIATE_TEST_SUITE_P(WithoutInput, Win32Core, ::testing::ValuesIn(rows::portable), name);
INSTANTIATE_TEST_SUITE_P(WithInput, Win32Core, ::testing::ValuesIn(withInput), name);

}  // namespace
