// The keyboard commands, sent as character messages through the window procedure.
#include "tests/unit/app_fixture.h"

#include "scene/redraw.h"
#include "app/window_procedure.h"
#include "scene/viewer_state.h"

namespace {

LRESULT sendCharacter(WPARAM character, LPARAM lParam = 1) { return WndProc(fakeWindow, WM_CHAR, character, lParam); }

void pressTimes(WPARAM character, int times) {
    for (int i = 0; i < times; ++i) sendCharacter(character);
}

using KeyboardTest = AppTest;

}  // namespace

TEST_F(KeyboardTest, FogAndWireframeToggleAndTogglingTwiceRestores) {
    for (int* flag : {&fogEnabled, &wireframe}) {
        const WPARAM key = flag == &fogEnabled ? 'f' : 'p';
        idleFunc = nullptr;
        EXPECT_EQ(sendCharacter(key), 0);
        EXPECT_EQ(*flag, 1);
        EXPECT_EQ(idleFunc, idleFrame);
        // A repeat count in lParam does not toggle more than once.
        EXPECT_EQ(sendCharacter(key, 5), 0);
        EXPECT_EQ(*flag, 0);
    }
    EXPECT_EQ(countWin32Calls("DefWindowProcA"), 0);
    // The commands need no rendering context.
    EXPECT_EQ(hRC, nullptr);
}

TEST_F(KeyboardTest, OtherCharactersIncludingCapitalsGetDefaultProcessing) {
    for (WPARAM key : {WPARAM('F'), WPARAM('P'), WPARAM('J'), WPARAM('x'), WPARAM(13)}) {
        win32Calls.clear();
        EXPECT_EQ(sendCharacter(key, 0x10001), fakeWin32.defWindowProcResult);
        const Win32Call call = lastWin32Call("DefWindowProcA");
        EXPECT_EQ(call.args, (std::vector<intptr_t>{intptr_t(fakeWindow), WM_CHAR, intptr_t(key), 0x10001}));
    }
    EXPECT_EQ(fogEnabled, 0);
    EXPECT_EQ(wireframe, 0);
    EXPECT_EQ(stepValue, 0.55f);
    EXPECT_EQ(idleFunc, nullptr);
}

TEST_F(KeyboardTest, EscapeDestroysTheWindow) {
    EXPECT_EQ(sendCharacter(27), 0);
    ASSERT_EQ(countWin32Calls("DestroyWindow"), 1);
    EXPECT_EQ(lastWin32Call("DestroyWindow").args, std::vector<intptr_t>{intptr_t(fakeWindow)});
}

TEST_F(KeyboardTest, ACommandLeavesAFreeSpinAlone) {
    spinning = 1;
    animating = 1;
    idleFunc = idleFrame;
    sendCharacter('p');
    sendCharacter('j');
    EXPECT_EQ(spinning, 1);
    EXPECT_EQ(animating, 1);
    EXPECT_EQ(idleFunc, idleFrame);
}

TEST_F(KeyboardTest, StepUpStopsExactlyAtItsBound) {
    // The steps accumulate float rounding: after nine the value lies just above 1.
    pressTimes('j', 9);
    EXPECT_EQ(stepValue, 0x1.000002p+0f);
    EXPECT_EQ(idleFunc, idleFrame);
    sendCharacter('j');
    EXPECT_EQ(stepValue, 1.05f);
    sendCharacter('j');
    EXPECT_EQ(stepValue, 1.05f);

    // From just below 1 the step reaches the bound exactly, not a float beside it.
    stepValue = 0x1.fffffep-1f;
    sendCharacter('j');
    EXPECT_EQ(stepValue, 1.05f);
}

TEST_F(KeyboardTest, StepDownStopsExactlyAtItsBound) {
    pressTimes('k', 10);
    EXPECT_EQ(stepValue, 0x1.999986p-5f);  // about 0.05
    sendCharacter('k');
    EXPECT_EQ(stepValue, 0.01f);
    sendCharacter('k');
    EXPECT_EQ(stepValue, 0.01f);

    stepValue = 0.06f;  // 0.06f - 0.05 lies just below 0.01f
    sendCharacter('k');
    EXPECT_EQ(stepValue, 0.01f);

    // And back up from the bottom.
    sendCharacter('j');
    EXPECT_FLOAT_EQ(stepValue, 0.06f);
}
