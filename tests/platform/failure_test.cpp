// The subset's one way to fail: a line on stderr naming the cause, and exit code 1.
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

TEST_F(SubsetFailureDeathTest, NoOpenGLEndsTheProgramWhenThePixelFormatIsSet) {
    HWND window = createWindow();
    HDC dc = GetDC(window);
    PIXELFORMATDESCRIPTOR request{};
    request.nSize = sizeof(request);
    request.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
    // The dummy video driver has no OpenGL.
    EXPECT_EXIT(
        {
            subsetSetProgramName("viewer");
            SetPixelFormat(dc, ChoosePixelFormat(dc, &request), &request);
        },
        ::testing::ExitedWithCode(1), "^viewer: cannot make an OpenGL window: [^\n]+\n$");
}

}  // namespace
