// How the program ends up when the platform fails it, each case ending in the program's own path:
// an "Error" box before any window shows, then exit code 1; or, without a rendering context, a
// window that runs on without drawing until Esc ends it with 0. The cases are calls made to fail
// in the test build, and displays without usable OpenGL, natively and (where Wine copes) under
// Wine.
#include <gtest/gtest.h>

// NOTE: after GoogleTest, whose own None the Xlib macro of that name would break.
#include <X11/keysym.h>

#include <string>
#include <utility>
#include <vector>

#include "viewer_session.h"

namespace viewer_e2e {
namespace {

struct FailureCase {
    const char* name;
    Target target;
    int screenDepth;
    std::vector<std::pair<std::string, std::string>> environment;
    const char* boxText;  // the "Error" box's text (line feeds as \n), or null: runs on without drawing
};

void PrintTo(const FailureCase& failure, std::ostream* out) {
    *out << failure.name;
}

const FailureCase failureCases[] = {
    {"ChoosePixelFormat_fails", Target::Native, 24, {{"HELICOID_FAULTS", "ChoosePixelFormat"}},
     "ChoosePixelFormat failed\\n"},
    {"SetPixelFormat_fails", Target::Native, 24, {{"HELICOID_FAULTS", "SetPixelFormat"}}, "SetPixelFormat failed"},
    {"CreateWindowExA_fails", Target::Native, 24, {{"HELICOID_FAULTS", "CreateWindowExA"}}, "CreateWindow failed"},
    {"RegisterClassA_fails", Target::Native, 24, {{"HELICOID_FAULTS", "RegisterClassA"}}, "RegisterClass failed"},
    {"wglCreateContext_fails", Target::Native, 24, {{"HELICOID_FAULTS", "wglCreateContext"}}, nullptr},
    // No GLX on an 8-bit screen; the same under Wine.
    {"no_GLX", Target::Native, 8, {}, "ChoosePixelFormat failed\\n"},
    {"no_GLX_wine", Target::Wine, 8, {{"WINEDEBUG", "+msgbox"}}, "ChoosePixelFormat failed\\n"},
    // GLX, but only indirect rendering, which the X server refuses (as over ssh -X), or no driver.
    // NOTE: Wine hangs in both (its GL set-up fails inside its own driver), so they run natively only.
    {"indirect_GLX_only", Target::Native, 24, {{"LIBGL_ALWAYS_INDIRECT", "1"}}, nullptr},
    {"no_GL_driver", Target::Native, 24, {{"LIBGL_DRIVERS_PATH", "/nonexistent"}}, nullptr},
};

int occurrences(const std::string& text, const std::string& part) {
    int count = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++count;
    return count;
}

class PlatformFailure : public ::testing::TestWithParam<FailureCase> {
protected:
    void SetUp() override {
        const FailureCase& failure = GetParam();
        if (const std::optional<std::string> reason = ViewerSession::unavailable(failure.target))
            GTEST_SKIP() << *reason;
        SessionOptions options;
        options.screenDepth = failure.screenDepth;
        options.environment = failure.environment;
        options.nativeProgram = PROGRAM_WITH_FAULTS;
        session = std::make_unique<ViewerSession>(failure.target, failure.name, options);
        session->start();
    }

    // Presses Return over the box with this caption, which must appear.
    void dismiss(const std::string& caption) {
        std::optional<e2e::WindowInfo> box = session->x().waitForWindow(caption, startTimeout);
        ASSERT_TRUE(box) << "no box \"" << caption << "\"; windows:\n" << session->x().describeWindows();
        session->x().movePointer(box->rect.x + box->rect.width / 2, box->rect.y + box->rect.height / 2);
        session->x().typeKey(XK_Return);
        ASSERT_TRUE(session->x().waitForNoWindow(caption, pictureTimeout)) << "Return did not dismiss \"" << caption << "\"";
    }

    std::unique_ptr<ViewerSession> session;
};

TEST_P(PlatformFailure, EndsInTheProgramsOwnPath) {
    const FailureCase& failure = GetParam();
    ASSERT_NO_FATAL_FAILURE(session->dismissNotice());
    e2e::XClient& x = session->x();
    if (failure.boxText != nullptr) {
        ASSERT_TRUE(x.waitForWindow("Error", startTimeout)) << x.describeWindows();
        EXPECT_TRUE(x.findWindows(expected::windowTitle).empty()) << "the program's window shows behind its error";
        ASSERT_NO_FATAL_FAILURE(dismiss("Error"));
        const std::optional<e2e::ExitStatus> status = session->process().waitForExit(exitTimeout);
        ASSERT_TRUE(status) << "the program did not end after its error";
        EXPECT_TRUE(status->exited && status->code == 1) << status->describe();
        // The test build reports each box, and so does Wine's message box trace (text only).
        const bool native = failure.target == Target::Native;
        const std::string box = native ? "box: " : "MSGBOX_OnInit";
        const std::string shown = native ? std::string("box: Error: ") + failure.boxText + "\n"
                                         : std::string("L\"") + failure.boxText + "\"";
        const std::string output = session->programOutput();
        EXPECT_NE(output.find(shown), std::string::npos) << output;
        EXPECT_EQ(2, occurrences(output, box)) << "not just the notice and the error: " << output;
        return;
    }

    // Without a context the window shows; mouse and keys get default processing and break nothing.
    const std::optional<e2e::WindowInfo> window = x.waitForWindow(expected::windowTitle, startTimeout);
    ASSERT_TRUE(window) << x.describeWindows();
    const int cx = window->rect.x + window->rect.width / 2, cy = window->rect.y + window->rect.height / 2;
    x.movePointer(cx, cy);
    x.pressButton();
    x.movePointerAlong(cx, cy, cx + 120, cy + 60, 10, Millis(10));
    x.releaseButton();
    for (unsigned long key : {XK_f, XK_p, XK_j, XK_k})
        x.typeKey(key);
    x.sync();
    EXPECT_FALSE(session->process().waitForExit(Millis(1500))) << "it ended: " << session->programOutput();
    session->closeWithEscape();
}

INSTANTIATE_TEST_SUITE_P(Cases, PlatformFailure, ::testing::ValuesIn(failureCases),
                         [](const ::testing::TestParamInfo<FailureCase>& info) { return info.param.name; });

}  // namespace
}  // namespace viewer_e2e
