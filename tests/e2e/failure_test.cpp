// How the program ends when the platform fails it, each case in the program's own path: an
// "Error" box before any window shows and exit code 1, or, without a rendering context, a window
// that runs on without drawing until Esc ends it with 0. The cases are calls made to fail in the
// test build (tests/faults), displays without usable OpenGL, natively and under Wine, and no
// display at all, which the program says in one line before it exits with 1.
#include "scene/viewer_texts.h"
#include "tests/e2e/driver.h"

#include <gtest/gtest.h>

#include <unistd.h>

namespace {

using namespace e2e;

struct Failure {
    const char* name;
    bool wine;
    int depth;
    std::vector<std::string> environment;
    const char* box;  // the "Error" box's text as reported (line feeds as \n), or null: runs on
};

TEST(NoDisplay, IsSaidInOneLineAndEndsWithOne) {
    Program program({HELICOID_NATIVE_EXE}, {"DISPLAY", "WAYLAND_DISPLAY", "SDL_VIDEODRIVER"}, E2E_OUTPUT_DIR "/failures/no-display.log");
    EXPECT_EQ(program.waitForExit(Millis(20000)), std::optional<int>(1));
    const std::string output = program.output();
    EXPECT_TRUE(std::count(output.begin(), output.end(), '\n') == 1 && output.find("display") != std::string::npos) << output;
}

const Failure failures[] = {
    {"ChoosePixelFormatFails", false, 24, {"HELICOID_FAULTS=ChoosePixelFormat"}, "ChoosePixelFormat failed\\n"},
    {"SetPixelFormatFails", false, 24, {"HELICOID_FAULTS=SetPixelFormat"}, "SetPixelFormat failed"},
    {"CreateWindowExAFails", false, 24, {"HELICOID_FAULTS=CreateWindowExA"}, "CreateWindow failed"},
    {"RegisterClassAFails", false, 24, {"HELICOID_FAULTS=RegisterClassA"}, "RegisterClass failed"},
    {"wglCreateContextFails", false, 24, {"HELICOID_FAULTS=wglCreateContext"}, nullptr},
    // No GLX on an 8-bit screen, natively and under Wine; GLX that can only render indirectly,
    // which the X server refuses (as over ssh -X), or no GL driver at all.
    {"NoGLX", false, 8, {}, "ChoosePixelFormat failed\\n"},
    {"NoGLXUnderWine", true, 8, {}, "ChoosePixelFormat failed\\n"},
    {"IndirectGLXOnly", false, 24, {"LIBGL_ALWAYS_INDIRECT=1"}, nullptr},
    {"NoGLDriver", false, 24, {"LIBGL_DRIVERS_PATH=/nonexistent"}, nullptr},
};

class Failures : public ::testing::TestWithParam<Failure> {};

TEST_P(Failures, EndInTheProgramsOwnPath) {
    const Failure& f = GetParam();
    if (f.wine && access(HELICOID_WINDOWS_EXE, R_OK) != 0) GTEST_SKIP() << "no Windows build to run";
    const std::string logs = std::string(E2E_OUTPUT_DIR) + "/failures/" + f.name;
    Screen screen(logs + ".xvfb.log", f.depth);
    std::vector<std::string> argv = {HELICOID_FAULTS_EXE}, environment = f.environment;
    environment.push_back("DISPLAY=" + screen.display());
    if (f.wine) {  // Wine's message box trace reports the box in the same form
        argv = {"/usr/lib/wine/wine64", HELICOID_WINDOWS_EXE};
        environment.insert(environment.end(), {"WINEPREFIX=" E2E_WINE_PREFIX, "WINEDEBUG=+msgbox", "WINEDLLOVERRIDES=mscoree,mshtml="});
    }
    Program program(argv, environment, logs + ".program.log");
    for (const char* caption : {usageNoticeCaption, f.box != nullptr ? "Error" : nullptr}) {
        if (caption == nullptr) break;
        ASSERT_TRUE(screen.waitForWindow(caption, Millis(60000))) << "no box " << caption << ": " << program.output();
        EXPECT_FALSE(screen.waitForWindow(viewerWindowTitle, Millis(0))) << "the window shows behind its box";
        ASSERT_TRUE(screen.dismiss(caption, Millis(20000)));
    }
    if (f.box != nullptr) {
        EXPECT_EQ(program.waitForExit(Millis(30000)), std::optional<int>(1)) << program.output();
        const std::string shown = f.wine ? std::string("L\"") + f.box + "\"" : std::string("box: Error: ") + f.box + "\n";
        EXPECT_NE(program.output().find(shown), std::string::npos) << program.output();
    } else {  // without a context: the window shows, and mouse and keys break nothing
        const std::optional<Window> window = screen.waitForWindow(viewerWindowTitle, Millis(30000));
        ASSERT_TRUE(window) << program.output();
        const Rect r = screen.rect(*window).value_or(Rect{});
        screen.move(r.x + r.width / 2, r.y + r.height / 2);
        screen.press();
        screen.dragTo(r.x + r.width / 2 + 120, r.y + r.height / 2 + 60, 10);
        screen.release();
        screen.key("f p j k");
        EXPECT_FALSE(program.waitForExit(Millis(1500))) << "it ended: " << program.output();
        screen.key("Escape");
        EXPECT_EQ(program.waitForExit(Millis(30000)), std::optional<int>(0)) << program.output();
    }
    if (f.wine) screen.run({"/usr/lib/wine/wineserver64", "-k"});
}

INSTANTIATE_TEST_SUITE_P(Cases, Failures, ::testing::ValuesIn(failures), [](const auto& info) { return std::string(info.param.name); });

}  // namespace
