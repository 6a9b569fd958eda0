// The subset's Win32 core on its own, through the fake backend: the rows that need no input (which
// also run on a real Win32), then rows with input the fake backend gives, and what the core asked
// of the backend where that is the behaviour; their reports are compared with
// tests/data/win32_rows.txt and win32_rows_with_input.txt.
#include "tests/platform/fake_backend.h"
#include "tests/platform/win32_rows.h"
#include "tests/support/golden.h"

#include <gtest/gtest.h>

void rows::pause(unsigned ms) { fake::now += ms; }

namespace {

// The input steps, given to the core at its next pump: key:VK (down), repeat:VK, up:VK, text:C
// (the character C typed), move:X,Y and drag:X,Y (with the left button down), sized:W,H,
// minimize, restore, close; and requests, which notes what the core asked of the backend.
void input(HWND window, const std::string& step, int a, int b) {
    const uint64_t t = fake::now;
    const std::string typed(1, char(a));
    if (step == "requests") {
        for (const std::string& request : fake::requests) rows::note(request);
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

const std::vector<rows::Row> withInput = {
    {"ATypedCharacterComesRightAfterItsKeyDownBeforeLaterInput",
     "open key:70 text:102 move:5,6 next next next"},
    {"KeyMessagesCarryWindowsBitsAndEscTypes27", "open key:27 repeat:27 up:27 next next next next next"},
    {"CaptureGivesPointsOutsideTheWindowAsNegativeHalves",
     "open show capture drag:-20,-30 next release requests"},
    {"SetWindowPosMovesUnlessToldNotToAndRaises",
     "open show requests =sized size:300,150 place:60,70 requests"},
    {"SizesTheUserGivesAreReportedOnceAndARestoredWindowIsPainted",
     "open show update sized:500,400 sized:500,400 minimize restore next next next next"},
    {"TheCloseButtonDestroysTheWindowThroughDefaultProcessing",
     "open show update requests =shown close next requests"},
};

TEST(Win32Core, EveryRowEndsAsRecorded) {
    for (const auto& [table, file] :
         {std::pair(&rows::portable, "win32_rows.txt"), std::pair(&withInput, "win32_rows_with_input.txt")}) {
        std::string reports;
        for (const rows::Row& row : *table) {
            fake::reset();
            reports += rows::report(row, input);
        }
        expectGolden(file, reports);
    }
}

}  // namespace
