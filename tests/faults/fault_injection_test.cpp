// How the program copes when the platform fails it: the pixel-format failures and a window that
// cannot be made end with an "Error" box and exit code 1 before any window shows; without a
// rendering context the program keeps running and Esc still ends it with 0.
#include <gtest/gtest.h>

// NOTE: after GoogleTest, whose own None the Xlib macro of that name would break.
#include <X11/keysym.h>

#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <sys/stat.h>

#include "driver/process.h"
#include "driver/x_client.h"
#include "driver/xvfb.h"

namespace {

using e2e::Millis;

const std::string noticeCaption = "soft by Tesmoral - helicoid@example.com ";
const std::string windowTitle = " soft by Tesmoral";
const Millis timeout{30000};

class FaultInjection : public ::testing::Test {
protected:
    std::unique_ptr<e2e::Xvfb> server;
    std::unique_ptr<e2e::XClient> x;
    e2e::Process program;
    std::string log;

    void SetUp() override {
        mkdir(FAULT_LOG_DIR, 0755);
        const std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
        log = std::string(FAULT_LOG_DIR) + "/" + name + ".log";
        std::remove(log.c_str());
        server = e2e::Xvfb::start("1280x1024x24", std::string(FAULT_LOG_DIR) + "/" + name + ".xvfb.log");
        x = std::make_unique<e2e::XClient>(server->display());
    }

    void start(const std::string& faults) {
        e2e::Command command({PROGRAM_WITH_FAULTS});
        command.setEnv = {{"DISPLAY", server->display()}, {"HELICOID_FAULTS", faults}};
        command.unsetEnv = {"WAYLAND_DISPLAY", "SDL_VIDEODRIVER"};
        command.logPath = log;
        program = e2e::Process::start(command);
    }

    // Presses Return over the box with this caption, which must appear.
    void dismiss(const std::string& caption) {
        std::optional<e2e::WindowInfo> box = x->waitForWindow(caption, timeout);
        ASSERT_TRUE(box) << "no box \"" << caption << "\"; windows:\n" << x->describeWindows();
        x->movePointer(box->rect.x + box->rect.width / 2, box->rect.y + box->rect.height / 2);
        x->typeKey(XK_Return);
        ASSERT_TRUE(x->waitForNoWindow(caption, timeout)) << "Return did not dismiss \"" << caption << "\"";
    }

    std::string output() const {
        std::ifstream in(log);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }

    // The notice, then an "Error" box while no program window is shown, then exit code 1.
    void expectErrorBoxAndExitOne(const std::string& faults, const std::string& boxText) {
        start(faults);
        ASSERT_NO_FATAL_FAILURE(dismiss(noticeCaption));
        ASSERT_TRUE(x->waitForWindow("Error", timeout)) << x->describeWindows();
        EXPECT_TRUE(x->findWindows(windowTitle).empty()) << "the program's window shows behind its error";
        ASSERT_NO_FATAL_FAILURE(dismiss("Error"));
        std::optional<e2e::ExitStatus> status = program.waitForExit(timeout);
        ASSERT_TRUE(status) << "the program did not end after its error";
        EXPECT_TRUE(status->exited && status->code == 1) << status->describe();
        EXPECT_NE(output().find("box: Error: " + boxText + "\n"), std::string::npos) << output();
    }
};

TEST_F(FaultInjection, NoPixelFormatEndsWithItsErrorAndOne) {
    expectErrorBoxAndExitOne("ChoosePixelFormat", "ChoosePixelFormat failed\\n");
    EXPECT_EQ(output().find("SetPixelFormat"), std::string::npos);
}

TEST_F(FaultInjection, APixelFormatThatCannotBeSetEndsWithItsErrorAndOne) {
    expectErrorBoxAndExitOne("SetPixelFormat", "SetPixelFormat failed");
}

TEST_F(FaultInjection, AWindowThatCannotBeMadeEndsWithAnErrorAndOne) {
    expectErrorBoxAndExitOne("CreateWindowExA", "CreateWindow failed");
}

TEST_F(FaultInjection, WithoutARenderingContextTheProgramRunsOnAndEscapeEndsItWithZero) {
    start("wglCreateContext");
    ASSERT_NO_FATAL_FAILURE(dismiss(noticeCaption));
    std::optional<e2e::WindowInfo> window = x->waitForWindow(windowTitle, timeout);
    ASSERT_TRUE(window) << x->describeWindows();

    // Mouse and keys get default processing; nothing may break.
    const int cx = window->rect.x + window->rect.width / 2, cy = window->rect.y + window->rect.height / 2;
    x->movePointer(cx, cy);
    x->pressButton();
    x->movePointerAlong(cx, cy, cx + 120, cy + 60, 10, Millis(10));
    x->releaseButton();
    for (unsigned long key : {XK_f, XK_p, XK_j, XK_k}) x->typeKey(key);
    x->sync();
    EXPECT_FALSE(program.waitForExit(Millis(1500))) << "the program ended without a context: " << output();

    x->typeKey(XK_Escape);
    EXPECT_TRUE(x->waitForNoWindow(windowTitle, timeout));
    std::optional<e2e::ExitStatus> status = program.waitForExit(timeout);
    ASSERT_TRUE(status) << "Esc did not end the program";
    EXPECT_TRUE(status->exited && status->code == 0) << status->describe();
}

}  // namespace
