// The program from entry to exit against the fake Win32: the start-up order, the class and the
// window it makes, the exit code, and the start-up failures.
#include "tests/unit/app_fixture.h"

#include "app/window_procedure.h"
#include "scene/viewer_state.h"
#include "scene/viewer_texts.h"
#include "app/icon_resource.h"

#include <algorithm>

namespace {

using Names = std::vector<std::string>;
using Args = std::vector<intptr_t>;

int runProgram(int showCommand = SW_SHOWDEFAULT) { return WinMain(fakeInstance, nullptr, nullptr, showCommand); }

// The position of the first call of that name, or -1.
int firstCall(const std::string& name) {
    const Names names = win32CallNames();
    const auto found = std::find(names.begin(), names.end(), name);
    return found == names.end() ? -1 : int(found - names.begin());
}

using WinMainTest = AppTest;

}  // namespace

TEST_F(WinMainTest, StartsInOrderDrawsContinuouslyAndExitsWithZeroOnEscape) {
    queueMessage(WM_CHAR, 27, 1, 2);
    EXPECT_EQ(runProgram(SW_SHOWMAXIMIZED), 0);

    // Class, notice, size, window, show, loop.
    const Names order = {"RegisterClassA", "MessageBoxA", "GetSystemMetrics", "CreateWindowExA",
                         "ShowWindow", "UpdateWindow", "GetMessageA"};
    for (size_t i = 1; i < order.size(); ++i)
        EXPECT_LT(firstCall(order[i - 1]), firstCall(order[i])) << order[i - 1] << " before " << order[i];

    const WNDCLASSA& windowClass = fakeWin32.registeredClass;
    EXPECT_EQ(windowClass.style, UINT(CS_HREDRAW | CS_VREDRAW | CS_OWNDC));
    EXPECT_EQ(windowClass.lpfnWndProc, WndProc);
    EXPECT_EQ(windowClass.hInstance, fakeInstance);
    EXPECT_EQ(windowClass.hbrBackground, nullptr);
    EXPECT_STREQ(windowClass.lpszClassName, "OpenGL");
    EXPECT_EQ(lastWin32Call("LoadIconA").text, "#" + std::to_string(IDI_HELICOID));
    EXPECT_EQ(lastWin32Call("LoadIconA").args, Args{intptr_t(fakeInstance)});
    EXPECT_EQ(lastWin32Call("LoadCursorA").text, "#32512");

    const Win32Call notice = lastWin32Call("MessageBoxA");
    EXPECT_EQ(notice.text, std::string(usageNoticeCaption) + "|" + usageNoticeText);
    EXPECT_EQ(notice.args, (Args{0, MB_OK}));

    // 80 % of a 1024-pixel screen height on each side, at (50, 50).
    const Win32Call create = lastWin32Call("CreateWindowExA");
    EXPECT_EQ(create.text, std::string("OpenGL|") + viewerWindowTitle);
    EXPECT_EQ(create.args, (Args{0, WS_OVERLAPPEDWINDOW | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, 50, 50, 819, 819, 0, 0,
                                 intptr_t(fakeInstance), 0}));
    EXPECT_EQ(lastWin32Call("ShowWindow").args, (Args{intptr_t(fakeWindow), SW_SHOWMAXIMIZED}));

    // The first paint starts continuous drawing; two idle turns before the key.
    EXPECT_EQ(framesDrawn(), 2);
    EXPECT_EQ(countWin32Calls("wglDeleteContext"), 1);
}

TEST_F(WinMainTest, WindowSideIsTheTruncatedFractionOfTheScreenHeight) {
    fakeWin32.screenHeight = 1023;  // 818.4
    queueMessage(WM_QUIT);
    runProgram();
    EXPECT_EQ(windowWidth, 818);
    EXPECT_EQ(windowHeight, 818);
}

TEST_F(WinMainTest, AWindowThatCannotBeMadeIsReportedAndEndsWithOne) {
    fakeWin32.createWindowFails = true;
    EXPECT_EQ(runProgram(), 1);
    // The notice still comes first; the error box after the attempt.
    EXPECT_LT(firstCall("MessageBoxA"), firstCall("CreateWindowExA"));
    const Win32Call error = lastWin32Call("MessageBoxA");
    EXPECT_EQ(error.text, "Error|CreateWindow failed");
    EXPECT_EQ(error.args, (Args{0, MB_ICONERROR | MB_OK}));
    EXPECT_EQ(countWin32Calls("ShowWindow"), 0);
    EXPECT_EQ(countWin32Calls("GetMessageA"), 0);
}

TEST_F(WinMainTest, AClassThatCannotBeRegisteredIsNamedAsTheCause) {
    fakeWin32.registerClassResult = 0;
    fakeWin32.createWindowFails = true;
    EXPECT_EQ(runProgram(), 1);
    EXPECT_EQ(countWin32Calls("CreateWindowExA"), 1);  // tried all the same, in its place
    EXPECT_EQ(lastWin32Call("MessageBoxA").text, "Error|RegisterClass failed");
}
