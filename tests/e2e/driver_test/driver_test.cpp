// The driver on its own, against a tiny X program: server start-up, finding a window by title,
// screenshots, XTest keys and buttons, and process exit codes.
#include <X11/keysym.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "driver/image.h"
#include "driver/process.h"
#include "driver/x_client.h"
#include "driver/xvfb.h"

namespace {

using namespace e2e;

const std::string outputDir = E2E_OUTPUT_DIR "/driver-test";

const Rgb red{255, 0, 0}, green{0, 255, 0}, blue{0, 0, 255}, white{255, 255, 255}, yellow{255, 255, 0};

class DriverTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::filesystem::create_directories(outputDir);
        server = Xvfb::start("640x480x24", outputDir + "/xvfb.log");
        x = std::make_unique<XClient>(server->display());
    }

    Process startProbe() {
        Command command;
        command.argv = {PROBE_WINDOW_PATH};
        command.setEnv = {{"DISPLAY", server->display()}};
        command.logPath = outputDir + "/probe.log";
        return Process::start(command);
    }

    // The colour of the probe's window once it settles on `expected`, or what it shows instead.
    Rgb waitForColour(const Rect& area, Rgb expected) {
        Rgb seen;
        waitUntil(
            [&] {
                seen = dominantColour(x->grab(area));
                return seen == expected;
            },
            Millis(5000));
        return seen;
    }

    std::unique_ptr<Xvfb> server;
    std::unique_ptr<XClient> x;
};

TEST_F(DriverTest, ServerRunsOnItsOwnDisplayWithTheRequestedScreen) {
    EXPECT_TRUE(server->running());
    EXPECT_EQ(640, x->screenWidth());
    EXPECT_EQ(480, x->screenHeight());
    EXPECT_NE(server->display(), std::string(getenv("DISPLAY") ? getenv("DISPLAY") : ""));
}

TEST_F(DriverTest, DrivesAWindowAndReadsItsExitCode) {
    Process probe = startProbe();
    const std::optional<WindowInfo> window = x->waitForWindow("e2e probe", Millis(10000));
    ASSERT_TRUE(window) << x->describeWindows();
    EXPECT_EQ((Rect{30, 40, 200, 100}), window->rect);
    EXPECT_TRUE(x->findWindows("e2e prob").empty()) << "titles match exactly";

    const Rect area = window->rect;
    EXPECT_EQ(red, waitForColour(area, red));
    x->grabScreen().savePng(outputDir + "/probe-red.png");

    // Keys reach the window under the pointer; Shift is held for capitals.
    x->movePointer(area.x + 50, area.y + 50);
    x->typeKey(XK_g);
    EXPECT_EQ(green, waitForColour(area, green));
    x->typeKey(XK_G);
    EXPECT_EQ(blue, waitForColour(area, blue));

    // Press and release at one spot, then a drag.
    x->pressButton(1);
    x->releaseButton(1);
    EXPECT_EQ(white, waitForColour(area, white));
    x->pressButton(1);
    x->movePointerAlong(area.x + 50, area.y + 50, area.x + 120, area.y + 70, 5, Millis(10));
    x->releaseButton(1);
    EXPECT_EQ(yellow, waitForColour(area, yellow));

    x->typeKey(XK_Escape);
    const std::optional<ExitStatus> status = probe.waitForExit(Millis(5000));
    ASSERT_TRUE(status) << "the probe did not end after Esc";
    EXPECT_TRUE(status->exited);
    EXPECT_EQ(7, status->code);
    EXPECT_TRUE(x->waitForNoWindow("e2e probe", Millis(2000)));
}

TEST(DriverProcess, ReportsExitCodesSignalsAndStartFailures) {
    const std::optional<ExitStatus> ok = runToCompletion(Command({"/bin/sh", "-c", "exit 3"}), Millis(5000));
    ASSERT_TRUE(ok);
    EXPECT_TRUE(ok->exited);
    EXPECT_EQ(3, ok->code);

    Command env;
    env.argv = {"/bin/sh", "-c", "test \"$E2E_PROBE\" = yes && test -z \"$HOME\""};
    env.setEnv = {{"E2E_PROBE", "yes"}};
    env.unsetEnv = {"HOME"};
    const std::optional<ExitStatus> withEnv = runToCompletion(env, Millis(5000));
    ASSERT_TRUE(withEnv);
    EXPECT_EQ(0, withEnv->code) << "the environment changes reach the child";

    EXPECT_FALSE(runToCompletion(Command({"/bin/sleep", "30"}), Millis(200))) << "a command past its deadline";

    Process sleeper = Process::start(Command({"/bin/sleep", "30"}));
    EXPECT_TRUE(sleeper.running());
    const ExitStatus ended = sleeper.terminate();
    EXPECT_FALSE(ended.exited);
    EXPECT_EQ(SIGTERM, ended.signal);

    EXPECT_THROW(Process::start(Command({"/nonexistent/program"})), std::runtime_error);
}

TEST(DriverImage, MeasuresAndSavesPictures) {
    Image image(20, 10);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 20; ++x)
            image.set(x, y, {38, 38, 38});
    for (int y = 2; y < 5; ++y)
        for (int x = 4; x < 9; ++x)
            image.set(x, y, {200, 10, 10});

    EXPECT_EQ((Rgb{38, 38, 38}), dominantColour(image));
    EXPECT_EQ(15u, countPixels(image, near({190, 20, 20}, 10)));
    EXPECT_EQ(0u, countPixels(image, near({190, 20, 20}, 9)));
    const std::optional<Rect> box = boundingBox(image, [](Rgb c) { return c.r > 100; });
    ASSERT_TRUE(box);
    EXPECT_EQ((Rect{4, 2, 5, 3}), *box);
    EXPECT_EQ(6u, countPixels(image, near({200, 10, 10}, 0), {6, 0, 20, 4}));
    EXPECT_FALSE(boundingBox(image, [](Rgb c) { return c.g > 100; }));

    Image other = image;
    other.set(0, 0, {40, 38, 38});
    EXPECT_EQ(1u, differingPixels(image, other));
    EXPECT_EQ(0u, differingPixels(image, other, 2));
    EXPECT_EQ((Rgb{200, 10, 10}), image.crop({4, 2, 100, 100}).at(0, 0));
    EXPECT_EQ(16, image.crop({4, 2, 100, 100}).width());

    const std::string path = outputDir + "/tiny/tiny.png";
    std::filesystem::remove(path);
    image.savePng(path);
    std::ifstream file(path, std::ios::binary);
    char signature[8] = {};
    file.read(signature, sizeof signature);
    EXPECT_EQ(std::string("\x89PNG\r\n\x1a\n", 8), std::string(signature, 8));
}

}  // namespace
