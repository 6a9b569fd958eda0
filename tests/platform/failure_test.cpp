// How the subset fails: Win32's failure results where OpenGL is missing, and a line on stderr
// with exit code 1 only where there is no display at all.
#include "subset_fixture.h"

namespace {

// Each check runs in a fresh process, so SDL starts there with the environment set inside it.
class SubsetFailureDeathTest : public SubsetWindowTest {
protected:
    void SetUp() override {
        GTEST_FLAG_SET(death_test_style, "threadsafe");
        SubsetWindowTest::SetUp();
    }
};

TEST(SubsetNoDisplayDeathTest, NoDisplayEndsTheProgramWithOneLine) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            setenv("SDL_VIDEODRIVER", "x11", 1);
            unsetenv("DISPLAY");
            subsetSetProgramName("/usr/local/bin/viewer");
            GetSystemMetrics(SM_CYSCREEN);
        },
        ::testing::ExitedWithCode(1), "^viewer: no usable display: [^\n]+\n$");
}

// The dummy video driver has no OpenGL: each call fails as Windows' does, and the process goes on.
TEST_F(SubsetWindowTest, WithoutOpenGLTheCallsFailAndTheWindowLivesOn) {
    HWND window = createWindow();
    HDC dc = GetDC(window);
    PIXELFORMATDESCRIPTOR request{};
    request.nSize = sizeof(request);
    request.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
    EXPECT_EQ(0, ChoosePixelFormat(dc, &request));
    EXPECT_EQ(FALSE, SetPixelFormat(dc, 1, &request));
    EXPECT_EQ(0, GetPixelFormat(dc));
    EXPECT_EQ(nullptr, wglCreateContext(dc));
    showWindow(window);
    EXPECT_TRUE(receivedAny(WM_PAINT));
}

}  // namespace
