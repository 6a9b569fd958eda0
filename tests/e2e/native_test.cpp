// What only the native build shows: the window's icon as X11 carries it, the GL format of its
// window, that the program its Debian package installs starts, and how it ends without a
// display, without a usable OpenGL, and when a platform call fails it at start-up.
#include "scene/viewer_texts.h"
#include "tests/e2e/driver.h"

#include <gtest/gtest.h>

// NOTE: after GoogleTest, whose own None Xlib's macro of that name would break.
#include <GL/glx.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <fstream>
#include <memory>

namespace {

using e2e::Millis;
using e2e::Program;

const std::string logs = std::string(E2E_OUTPUT_DIR) + "/native/";

// The viewer started and its notice dismissed, on a fresh X server.
struct Opened {
    e2e::Screen screen{logs + "xvfb.log"};
    Program program{{HELICOID_NATIVE_EXE}, {"DISPLAY=" + screen.display()}, logs + "program.log"};
    e2e::Window window = 0;
    Display* x() { return static_cast<Display*>(screen.xlib()); }
    Opened() {
        screen.dismiss(usageNoticeCaption, Millis(30000));
        window = screen.waitForWindow(viewerWindowTitle, Millis(30000)).value_or(0);
    }
};

// _NET_WM_ICON is the width, the height, then ARGB pixels; the art's letters stand for colours.
TEST(NativeWindow, CarriesTheProgramsIcon) {
    Opened viewer;
    ASSERT_NE(viewer.window, 0u);
    std::vector<unsigned long> expected = {32, 32};
    std::ifstream art(HELICOID_ICON_ART);
    for (std::string line; std::getline(art, line);)
        for (char c : line[0] == '#' ? std::string() : line)
            expected.push_back(c == 'r' ? 0xFFFF0000ul : c == 'k' ? 0xFF000000ul : 0xFF0000FFul);
    Atom type;
    int format;
    unsigned long count = 0, left = 0;
    unsigned char* data = nullptr;
    XGetWindowProperty(viewer.x(), viewer.window, XInternAtom(viewer.x(), "_NET_WM_ICON", False), 0, 1 << 16, False,
                       XA_CARDINAL, &type, &format, &count, &left, &data);
    std::vector<unsigned long> icon(reinterpret_cast<unsigned long*>(data), reinterpret_cast<unsigned long*>(data) + count);
    for (unsigned long& v : icon) v &= 0xFFFFFFFFul;
    XFree(data);
    EXPECT_EQ(icon, expected);
}

// Windows gives the format closest to the one asked for: 16 depth bits and no alpha. GLX on its
// own would give the deepest buffer, whose finer steps turn the ties between the model's two
// coplanar faces into speckles.
TEST(NativeWindow, HasTheClosestPixelFormat) {
    Opened viewer;
    XWindowAttributes attributes;
    ASSERT_NE(XGetWindowAttributes(viewer.x(), viewer.window, &attributes), 0);
    XVisualInfo pattern = {};
    pattern.visualid = XVisualIDFromVisual(attributes.visual);
    int n = 0;
    XVisualInfo* visual = XGetVisualInfo(viewer.x(), VisualIDMask, &pattern, &n);
    ASSERT_NE(visual, nullptr);
    for (auto [attribute, wanted] : {std::pair{GLX_DEPTH_SIZE, 16}, {GLX_ALPHA_SIZE, 0}, {GLX_DOUBLEBUFFER, 1}, {GLX_SAMPLES, 0}}) {
        int value = -1;
        glXGetConfig(viewer.x(), visual, attribute, &value);
        EXPECT_EQ(value, wanted) << "GLX attribute " << attribute;
    }
    XFree(visual);
}

TEST(InstalledPackage, StartsAndShowsTheNotice) {
    e2e::Screen screen{logs + "xvfb.log"};
    Program program{{HELICOID_PACKAGE_ROOT "/usr/bin/helicoid"}, {"DISPLAY=" + screen.display()}, logs + "package.log"};
    EXPECT_TRUE(screen.waitForWindow(usageNoticeCaption, Millis(30000))) << program.output();
}

TEST(NativeProgram, WithoutADisplaySaysSoInOneLineAndFails) {
    Program program({HELICOID_NATIVE_EXE}, {"DISPLAY", "WAYLAND_DISPLAY", "SDL_VIDEODRIVER"}, logs + "no-display.log");
    EXPECT_EQ(program.waitForExit(Millis(20000)), std::optional<int>(1));
    const std::string output = program.output();
    EXPECT_EQ(std::count(output.begin(), output.end(), '\n'), 1) << output;
    EXPECT_NE(output.find("display"), std::string::npos) << output;
}

}  // namespace
