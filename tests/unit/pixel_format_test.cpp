// The pixel format: what is asked for, and the two fatal failures.
#include "tests/unit/app_fixture.h"

#include "gl/pixel_format.h"

#include <cstdio>
#include <cstdlib>

namespace {

// Prints the Win32 calls made so far; run as an exit handler, it shows what a dying process did
// and that its exit went through the normal exit path.
void printCallsAtExit() {
    std::string names;
    for (const std::string& name : win32CallNames()) names += name + " ";
    std::fprintf(stderr, "calls: %s\n", names.c_str());
}

void setupPixelFormatReportingCalls() {
    std::atexit(printCallsAtExit);
    setupPixelFormat(fakeDC);
}

using PixelFormatTest = AppTest;

}  // namespace

TEST_F(PixelFormatTest, AsksForADoubleBufferedRgbaWindowFormatAndSetsTheOneChosen) {
    fakeWin32.choosePixelFormatResult = 12;
    setupPixelFormat(fakeDC);
    EXPECT_EQ(win32CallNames(), (std::vector<std::string>{"ChoosePixelFormat", "SetPixelFormat"}));
    // dc, nSize, nVersion, dwFlags, iPixelType, cColorBits, cDepthBits, iLayerType
    EXPECT_EQ(lastWin32Call("ChoosePixelFormat").args,
              (std::vector<intptr_t>{intptr_t(fakeDC), 40, 1, PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER,
                                     PFD_TYPE_RGBA, 8, 16, PFD_MAIN_PLANE}));
    EXPECT_EQ(lastWin32Call("SetPixelFormat").args[1], 12);
}

using PixelFormatDeathTest = PixelFormatTest;

TEST_F(PixelFormatDeathTest, NoFormatShowsAnErrorAndExitsWithOne) {
    fakeWin32.choosePixelFormatResult = 0;
    EXPECT_EXIT(setupPixelFormatReportingCalls(), ::testing::ExitedWithCode(1),
                "MessageBoxA owner=0x1001 type=0x10 caption=\"Error\" text=\"ChoosePixelFormat failed\\\\n\"\n"
                "calls: ChoosePixelFormat WindowFromDC MessageBoxA \n");
}

TEST_F(PixelFormatDeathTest, AFormatThatCannotBeSetShowsAnErrorAndExitsWithOne) {
    fakeWin32.setPixelFormatResult = FALSE;
    EXPECT_EXIT(setupPixelFormatReportingCalls(), ::testing::ExitedWithCode(1),
                "MessageBoxA owner=0x1001 type=0x10 caption=\"Error\" text=\"SetPixelFormat failed\"\n"
                "calls: ChoosePixelFormat SetPixelFormat WindowFromDC MessageBoxA \n");
}
