// The window procedure: the creation and destruction sequences, the fixed size, painting and
// the mouse messages, each with and without a rendering context.
#include "tests/unit/app_fixture.h"

#include "scene/redraw.h"
#include "app/window_procedure.h"
#include "scene/viewer_state.h"

#include <GL/gl.h>

namespace {

using Names = std::vector<std::string>;
using Args = std::vector<intptr_t>;

LRESULT send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) { return WndProc(fakeWindow, message, wParam, lParam); }

class WindowProcedureTest : public AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        windowWidth = 819;
        windowHeight = 819;
    }
};

}  // namespace

TEST_F(WindowProcedureTest, CreationSetsUpContextsAndSceneInOrder) {
    EXPECT_EQ(send(WM_CREATE), 0);
    EXPECT_EQ(win32CallNames(), (Names{"SetTimer", "GetDC", "ChoosePixelFormat", "SetPixelFormat", "GetPixelFormat",
                                       "DescribePixelFormat", "wglCreateContext", "wglMakeCurrent"}));
    EXPECT_EQ(lastWin32Call("SetTimer").args, (Args{intptr_t(fakeWindow), 1, 100, 0}));
    EXPECT_EQ(lastWin32Call("wglMakeCurrent").args, (Args{intptr_t(fakeDC), intptr_t(fakeContext)}));
    EXPECT_EQ(hDC, fakeDC);
    EXPECT_EQ(hRC, fakeContext);
    EXPECT_EQ(hPalette, nullptr);
    // The scene is set up, and nothing is drawn yet.
    EXPECT_EQ(rotationMatrix[0], 1.0f);
    EXPECT_EQ(rotationMatrix[15], 1.0f);
    EXPECT_GT(countGlCalls("glLightfv"), 0);
    EXPECT_EQ(framesDrawn(), 0);
    EXPECT_EQ(idleFunc, nullptr);
}

TEST_F(WindowProcedureTest, CreationOnAPaletteDisplayMakesThePaletteBeforeTheContext) {
    fakeWin32.describedFormat.dwFlags = PFD_NEED_PALETTE;
    fakeWin32.describedFormat.cColorBits = 8;
    fakeWin32.describedFormat.cRedBits = 3;
    send(WM_CREATE);
    const Names names = win32CallNames();
    ASSERT_GT(names.size(), 5u);
    const Names tail(names.begin() + 5, names.end());
    EXPECT_EQ(tail, (Names{"DescribePixelFormat", "CreatePalette", "SelectPalette", "RealizePalette",
                           "wglCreateContext", "wglMakeCurrent"}));
    EXPECT_EQ(hPalette, fakePalette);
}

TEST_F(WindowProcedureTest, DestructionReleasesEverythingAndPostsQuit) {
    hDC = fakeDC;
    hRC = fakeContext;
    idleFunc = idleFrame;
    EXPECT_EQ(send(WM_DESTROY), 0);
    EXPECT_EQ(win32CallNames(), (Names{"wglMakeCurrent", "wglDeleteContext", "ReleaseDC", "PostQuitMessage"}));
    EXPECT_EQ(lastWin32Call("wglMakeCurrent").args, (Args{0, 0}));
    EXPECT_EQ(lastWin32Call("wglDeleteContext").args, Args{intptr_t(fakeContext)});
    EXPECT_EQ(lastWin32Call("ReleaseDC").args, (Args{intptr_t(fakeWindow), intptr_t(fakeDC)}));
    EXPECT_EQ(lastWin32Call("PostQuitMessage").args, Args{0});
    EXPECT_EQ(idleFunc, nullptr);
    EXPECT_EQ(hRC, fakeContext);  // kept, though deleted
}

TEST_F(WindowProcedureTest, DestructionWithoutAContextSkipsOnlyTheContext) {
    hDC = fakeDC;
    idleFunc = idleFrame;
    send(WM_DESTROY);
    EXPECT_EQ(win32CallNames(), (Names{"ReleaseDC", "PostQuitMessage"}));
    EXPECT_EQ(idleFunc, nullptr);
}

TEST_F(WindowProcedureTest, AnySizeChangeIsAnsweredByTheFixedSize) {
    hRC = fakeContext;
    for (WPARAM kind : {WPARAM(SIZE_RESTORED), WPARAM(SIZE_MINIMIZED), WPARAM(SIZE_MAXIMIZED)}) {
        win32Calls.clear();
        EXPECT_EQ(send(WM_SIZE, kind, MAKELPARAM(300, 200)), 0);
        EXPECT_EQ(win32CallNames(), Names{"SetWindowPos"});
        EXPECT_EQ(lastWin32Call("SetWindowPos").args,
                  (Args{intptr_t(fakeWindow), intptr_t(HWND_TOP), 0, 0, 819, 819, SWP_NOMOVE}));
    }
}

TEST_F(WindowProcedureTest, PaintValidatesAndAsksForOneFrame) {
    hRC = fakeContext;
    EXPECT_EQ(send(WM_PAINT), 0);
    EXPECT_EQ(win32CallNames(), (Names{"BeginPaint", "EndPaint"}));
    EXPECT_EQ(idleFunc, idleFrame);
    EXPECT_EQ(framesDrawn(), 0);  // drawn later, by the idle hook
}

TEST_F(WindowProcedureTest, WithoutAContextSizePaintAndMouseGetDefaultProcessing) {
    const LPARAM at = MAKELPARAM(10, 20);
    for (UINT message : {UINT(WM_SIZE), UINT(WM_PAINT), UINT(WM_LBUTTONDOWN), UINT(WM_MOUSEMOVE), UINT(WM_LBUTTONUP)}) {
        win32Calls.clear();
        EXPECT_EQ(send(message, 0, at), fakeWin32.defWindowProcResult) << message;
        EXPECT_EQ(win32CallNames(), Names{"DefWindowProcA"}) << message;
        EXPECT_EQ(lastWin32Call("DefWindowProcA").args, (Args{intptr_t(fakeWindow), message, 0, at}));
    }
    EXPECT_EQ(idleFunc, nullptr);
    EXPECT_EQ(tracking, 0);
    EXPECT_EQ(spinning, 0);
}

TEST_F(WindowProcedureTest, MouseMessagesDriveTheTrackballWithSignedCoordinates) {
    hRC = fakeContext;
    // Left of and above the client area while captured: negative halves of lParam.
    EXPECT_EQ(send(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(-30, -2)), 0);
    EXPECT_EQ(win32CallNames(), Names{"SetCapture"});
    EXPECT_EQ(lastWin32Call("SetCapture").args, Args{intptr_t(fakeWindow)});
    EXPECT_EQ(pressX, -30);
    EXPECT_EQ(pressY, -2);
    EXPECT_EQ(tracking, 1);

    // Motion is handled and still gets default processing.
    EXPECT_EQ(send(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(600, 500)), fakeWin32.defWindowProcResult);
    EXPECT_EQ(idleFunc, idleFrame);
    EXPECT_NE(spinAngle, 2.0f);

    win32Calls.clear();
    EXPECT_EQ(send(WM_LBUTTONUP, 0, MAKELPARAM(-30, -2)), 0);
    EXPECT_EQ(win32CallNames(), Names{"ReleaseCapture"});
    EXPECT_EQ(spinning, 0);  // released at the press point
}

TEST_F(WindowProcedureTest, OtherButtonsAndMessagesGetDefaultProcessing) {
    hRC = fakeContext;
    for (UINT message : {UINT(WM_RBUTTONDOWN), UINT(WM_MBUTTONUP), UINT(WM_MOUSEWHEEL), UINT(WM_TIMER), UINT(WM_CLOSE)})
        EXPECT_EQ(send(message, 1, 2), fakeWin32.defWindowProcResult) << message;
    EXPECT_EQ(countWin32Calls("DefWindowProcA"), 5);
    EXPECT_EQ(tracking, 0);
}
