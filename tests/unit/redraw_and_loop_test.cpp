// Redraw requests, the idle hook and the message loop: which frames get drawn, and how the loop
// ends.
#include "tests/unit/app_fixture.h"

#include "app/message_loop.h"
#include "scene/redraw.h"
#include "app/window_procedure.h"
#include "scene/viewer_state.h"
#include "trackball/trackball.h"

#include <algorithm>

namespace {

void otherHook() {}

class RedrawTest : public AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        fakeWin32.registeredClass.lpfnWndProc = WndProc;
        hDC = fakeDC;
        hRC = fakeContext;
        windowWidth = 800;
        windowHeight = 800;
    }
};

}  // namespace

TEST_F(RedrawTest, ARequestInstallsTheHookOnceAndNeverDraws) {
    requestRedraw();
    EXPECT_EQ(idleFunc, idleFrame);
    requestRedraw();
    EXPECT_EQ(idleFunc, idleFrame);
    idleFunc = otherHook;
    requestRedraw();
    EXPECT_EQ(idleFunc, otherHook);
    EXPECT_EQ(framesDrawn(), 0);
}

TEST_F(RedrawTest, TheHookRemovesItselfUnlessAnimating) {
    animating = 1;
    idleFunc = idleFrame;
    idleFrame();
    EXPECT_EQ(idleFunc, idleFrame);
    EXPECT_EQ(framesDrawn(), 1);

    animating = 0;
    idleFrame();
    EXPECT_EQ(idleFunc, nullptr);
    EXPECT_EQ(framesDrawn(), 2);
}

TEST_F(RedrawTest, APressDuringContinuousFramesGetsOneLastFrameWithTheCurrentStep) {
    idleFunc = idleFrame;  // resting at start: animating, not spinning
    trackballBegin(400, 400);
    idleFunc();
    EXPECT_EQ(idleFunc, nullptr);
    EXPECT_EQ(framesDrawn(), 1);
    // That frame turns the model by the step of before the press.
    ASSERT_EQ(countGlCalls("glRotatef"), 1);
    const auto rotation =
        std::find_if(glCalls.begin(), glCalls.end(), [](const GlCall& call) { return call.name == "glRotatef"; });
    EXPECT_EQ(rotation->args, (std::vector<double>{2.0f, 0.3f, 0.2f, 0.4f}));
}

TEST_F(RedrawTest, LoopDrawsWhileTheQueueIsEmptyAndEndsWithTheQuitCode) {
    idleFunc = idleFrame;  // animating: frames until a message arrives
    queueMessage(WM_CHAR, 'f', 1, 3);
    queueMessage(WM_QUIT, 3);
    EXPECT_EQ(runMessageLoop(), 3);
    // Three frames before the key; the quit is waiting when the loop next looks, so none after.
    EXPECT_EQ(framesDrawn(), 3);
    EXPECT_EQ(fogEnabled, 1);
    EXPECT_EQ(countWin32Calls("TranslateMessage"), 1);
    EXPECT_EQ(countWin32Calls("DispatchMessageA"), 1);
}

TEST_F(RedrawTest, LoopDrawsOneFrameForABurstOfRequestsWhenNotAnimating) {
    animating = 0;
    queueMessage(WM_CHAR, 'p');
    queueMessage(WM_CHAR, 'f');
    queueMessage(WM_CHAR, 'p', 1, 4);
    queueMessage(WM_QUIT, 0, 0, 4);
    EXPECT_EQ(runMessageLoop(), 0);
    // The two requests of the first burst give one frame, the third request one more.
    EXPECT_EQ(framesDrawn(), 2);
    EXPECT_EQ(idleFunc, nullptr);
}

TEST_F(RedrawTest, EscapeEndsTheLoopWithZeroAndNoFrameAfterTheContextIsGone) {
    idleFunc = idleFrame;
    queueMessage(WM_CHAR, 27, 1, 2);
    EXPECT_EQ(runMessageLoop(), 0);
    EXPECT_EQ(framesDrawn(), 2);
    EXPECT_EQ(idleFunc, nullptr);
    EXPECT_EQ(countWin32Calls("wglDeleteContext"), 1);
}

TEST_F(RedrawTest, AFailingQueueEndsTheLoopWithAnError) {
    queueMessage(WM_CHAR, 'x');
    queueGetMessageError();
    EXPECT_EQ(runMessageLoop(), 1);
}
