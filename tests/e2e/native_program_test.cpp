// What only the native build has to show: the window's icon as X11 carries it, the GL format of
// its window, its fixed size under a window manager, and a clear failure where there is no
// display at all.
#include <gtest/gtest.h>

// NOTE: after GoogleTest, whose own None the Xlib macro of that name would break.
#include <GL/glx.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "driver/process.h"
#include "viewer_session.h"

namespace viewer_e2e {
namespace {

// The icon's pixel art as ARGB, rows top to bottom: 'r' red ground, 'k' black letters, 'b' blue.
std::vector<unsigned long> iconFromArt() {
    std::ifstream art(HELICOID_ICON_ART);
    std::vector<unsigned long> pixels;
    std::string line;
    while (std::getline(art, line)) {
        if (line.empty() || line[0] == '#') continue;
        for (char c : line) {
            if (c == 'r') pixels.push_back(0xFFFF0000ul);
            if (c == 'k') pixels.push_back(0xFF000000ul);
            if (c == 'b') pixels.push_back(0xFF0000FFul);
        }
    }
    return pixels;
}

// _NET_WM_ICON: width, height, then ARGB pixels (as longs, whatever their size on this machine).
std::vector<unsigned long> windowIcon(Display* display, Window window) {
    Atom property = XInternAtom(display, "_NET_WM_ICON", False);
    Atom type = 0;
    int format = 0;
    unsigned long count = 0, remaining = 0;
    unsigned char* data = nullptr;
    std::vector<unsigned long> values;
    if (XGetWindowProperty(display, window, property, 0, 1 << 16, False, XA_CARDINAL, &type, &format, &count,
                           &remaining, &data) == Success &&
        data != nullptr && format == 32) {
        const unsigned long* longs = reinterpret_cast<const unsigned long*>(data);
        for (unsigned long i = 0; i < count; ++i) values.push_back(longs[i] & 0xFFFFFFFFul);
    }
    if (data != nullptr) XFree(data);
    return values;
}

// The viewer started natively, its notice dismissed and its window open; Esc closes it at the end.
class NativeWindow : public ::testing::Test {
protected:
    std::unique_ptr<ViewerSession> session;

    void SetUp() override {
        if (const std::optional<std::string> reason = ViewerSession::unavailable(Target::Native))
            GTEST_SKIP() << *reason;
        session = std::make_unique<ViewerSession>(Target::Native,
                                                  ::testing::UnitTest::GetInstance()->current_test_info()->name());
        session->start();
        ASSERT_NO_FATAL_FAILURE(session->openWindow());
        opened = true;
    }
    void TearDown() override {
        if (opened) session->closeWithEscape();
    }

private:
    bool opened = false;
};

TEST_F(NativeWindow, CarriesTheProgramsIcon) {
    std::vector<unsigned long> icon = windowIcon(session->x().raw(), session->window());
    ASSERT_GE(icon.size(), 2u) << "the window has no _NET_WM_ICON";
    EXPECT_EQ(icon[0], 32u);
    EXPECT_EQ(icon[1], 32u);
    std::vector<unsigned long> expected = iconFromArt();
    ASSERT_EQ(expected.size(), 32u * 32u);
    EXPECT_TRUE(std::equal(expected.begin(), expected.end(), icon.begin() + 2)) << "the icon differs from its pixel art";
}

// The GLX attribute of the window's visual, or -1 if GLX does not know it.
int visualAttribute(Display* display, Window window, int attribute) {
    XWindowAttributes attributes;
    if (XGetWindowAttributes(display, window, &attributes) == 0) return -1;
    XVisualInfo pattern{};
    pattern.visualid = XVisualIDFromVisual(attributes.visual);
    int count = 0;
    XVisualInfo* visual = XGetVisualInfo(display, VisualIDMask, &pattern, &count);
    if (visual == nullptr) return -1;
    int value = -1;
    if (glXGetConfig(display, visual, attribute, &value) != 0) value = -1;
    XFree(visual);
    return value;
}

// The program asks for 16 depth bits and no alpha, and Windows gives the format closest to that.
// GLX on its own would give the deepest depth buffer, whose finer steps turn the ties between
// the model's two coplanar faces into speckles.
TEST_F(NativeWindow, HasTheClosestPixelFormat) {
    Display* display = session->x().raw();
    EXPECT_EQ(visualAttribute(display, session->window(), GLX_DEPTH_SIZE), 16);
    EXPECT_EQ(visualAttribute(display, session->window(), GLX_ALPHA_SIZE), 0);
    EXPECT_EQ(visualAttribute(display, session->window(), GLX_DOUBLEBUFFER), 1);
    EXPECT_LE(visualAttribute(display, session->window(), GLX_SAMPLES), 0);
}

// A window manager frames the window and has its own say in sizes: it ignores size requests
// for a maximised window, for one. Whatever the user does, the client area keeps its fixed size
// and its place (only a move changes that), and shows the whole model again.
TEST(NativeProgram, UnderAWindowManagerKeepsItsSizeAndPlace) {
    if (const std::optional<std::string> reason = ViewerSession::unavailable(Target::Native)) GTEST_SKIP() << *reason;
    SessionOptions options;
    options.windowManager = true;
    ViewerSession session(Target::Native, "UnderAWindowManager", options);
    session.start();
    ASSERT_NO_FATAL_FAILURE(session.openWindow());
    e2e::XClient& x = session.x();
    e2e::WindowManager& manager = session.windowManager();
    const e2e::WindowId window = session.window();
    const e2e::Image picture = session.grabClient();
    e2e::Rect place = session.clientRect();
    EXPECT_EQ(819, place.width);
    EXPECT_EQ(819, place.height);

    // Each step must be seen to take effect, so that a window that never changed cannot pass.
    auto resizedBy = [&](const std::function<void()>& request) {
        manager.watchSize(window);
        request();
        EXPECT_TRUE(manager.waitForOtherSize(place.width, place.height, pictureTimeout)) << "the size never changed";
    };
    struct Step {
        const char* name;
        std::function<void()> act;
        bool moves;
    };
    const Step steps[] = {
        {"resized", [&] { resizedBy([&] { x.resizeWindow(window, 1000, 900); }); }, false},
        {"maximised", [&] { resizedBy([&] { manager.maximize(window); }); }, false},
        {"minimised-and-restored",
         [&] {
             manager.minimize(window);
             EXPECT_TRUE(e2e::waitUntil([&] { return !session.outerRect(); }, pictureTimeout)) << "not minimised";
             manager.activate(window);
         },
         false},
        {"moved", [&] { x.moveResizeWindow(window, {place.x + 40, place.y + 30, place.width, place.height}); }, true},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.name);
        const e2e::Rect before = place;
        step.act();
        // The size comes back at once; a move is seen as the place changing, wherever it lands.
        std::optional<e2e::Rect> now;
        const bool settled = e2e::waitUntil(
            [&] {
                now = session.outerRect();
                if (!now || now->width != before.width || now->height != before.height) return false;
                return step.moves ? now->x != before.x || now->y != before.y : *now == before;
            },
            pictureTimeout, Millis(100));
        if (now) place = *now;
        const bool whole = settled && e2e::waitUntil([&] { return session.grabClient() == picture; }, pictureTimeout);
        session.saveShot("wm-" + std::string(step.name));
        EXPECT_TRUE(settled) << "client area " << (now ? now->describe() : "not shown") << ", was " << before.describe() << "; see "
                             << session.shotPath("wm-" + std::string(step.name));
        EXPECT_TRUE(whole) << "the model is not drawn whole in the middle; see "
                           << session.shotPath("wm-" + std::string(step.name));
    }
    session.closeWithEscape();
}

TEST(NativeProgram, WithoutADisplayItSaysSoInOneLineAndFails) {
    if (const std::optional<std::string> reason = ViewerSession::unavailable(Target::Native)) GTEST_SKIP() << *reason;
    const std::string log = std::string(E2E_OUTPUT_DIR) + "/logs/no-display.log";
    std::remove(log.c_str());
    e2e::Command command({HELICOID_NATIVE_EXE});
    command.unsetEnv = {"DISPLAY", "WAYLAND_DISPLAY", "SDL_VIDEODRIVER"};
    command.logPath = log;

    std::optional<e2e::ExitStatus> status = e2e::runToCompletion(command, Millis(20000));
    ASSERT_TRUE(status) << "the program did not end by itself without a display";
    EXPECT_TRUE(status->exited) << status->describe();
    EXPECT_NE(status->code, 0);

    std::ifstream in(log);
    std::stringstream text;
    text << in.rdbuf();
    const std::string output = text.str();
    EXPECT_EQ(std::count(output.begin(), output.end(), '\n'), 1) << output;
    EXPECT_NE(output.find("display"), std::string::npos) << output;
}

}  // namespace
}  // namespace viewer_e2e
