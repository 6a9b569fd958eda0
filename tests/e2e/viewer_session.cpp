// Starting the viewer on each target and measuring its window there.
#include "viewer_session.h"

#include <X11/keysym.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>

namespace viewer_e2e {

namespace {

using e2e::Rect;
using e2e::Rgb;

// Wine's Win32 frame: 4-pixel borders, and a caption bar that makes the top 23 pixels.
constexpr int wineBorder = 4;
constexpr int wineTop = 23;

const std::string outputDir = E2E_OUTPUT_DIR;

std::string programPath(Target target) {
    return target == Target::Native ? HELICOID_NATIVE_EXE : HELICOID_WINDOWS_EXE;
}

// Sets a variable of a command's environment, in place of any value it has there.
void setVariable(e2e::Command& command, const std::pair<std::string, std::string>& variable) {
    for (auto& [name, value] : command.setEnv)
        if (name == variable.first) {
            value = variable.second;
            return;
        }
    command.setEnv.push_back(variable);
}

}  // namespace

std::string targetName(Target target) {
    return target == Target::Native ? "native" : "wine";
}

void PrintTo(Target target, std::ostream* out) {
    *out << targetName(target);
}

e2e::WinePrefix& winePrefix() {
    static e2e::WinePrefix prefix(E2E_WINE_PREFIX, outputDir + "/logs/wine-prefix.log");
    return prefix;
}

std::optional<std::string> ViewerSession::unavailable(Target target) {
    const std::string path = programPath(target);
    if (access(path.c_str(), F_OK) != 0)
        return "the " + targetName(target) + " build of the viewer is not there (" + path + "); build its preset first";
    if (target == Target::Wine && !winePrefix().wineInstalled())
        return std::string("Wine (wine64) is not installed");
    return std::nullopt;
}

ViewerSession::ViewerSession(Target target, const std::string& testName, SessionOptions options)
    : target_(target), testName_(testName), options_(std::move(options)),
      logDir_(outputDir + "/logs/" + targetName(target)) {
    for (char& c : testName_)
        if (c == '/')
            c = '-';
    std::filesystem::create_directories(logDir_);
    if (target_ == Target::Wine)
        prefixLock_ = std::make_unique<e2e::FileLock>(winePrefix().lockPath(), Millis(240000));
    server_ = e2e::Xvfb::start(std::to_string(expected::screenWidth) + "x" + std::to_string(expected::screenHeight) +
                                   "x" + std::to_string(options_.screenDepth),
                               logDir_ + "/" + testName_ + ".xvfb.log");
    x_ = std::make_unique<e2e::XClient>(server_->display());
    if (options_.windowManager)
        windowManager_ = e2e::WindowManager::start(server_->display(), logDir_ + "/" + testName_ + ".openbox.log");
}

ViewerSession::~ViewerSession() {
    if (process_.valid())
        process_.terminate();
    if (target_ == Target::Wine)
        winePrefix().killAll();
    windowManager_.reset();
    x_.reset();
    server_.reset();
    prefixLock_.reset();
}

void ViewerSession::start() {
    const std::string log = programLogPath();
    std::filesystem::remove(log);
    e2e::Command command;
    if (target_ == Target::Native) {
        command.argv = {options_.nativeProgram.empty() ? programPath(target_) : options_.nativeProgram};
        command.setEnv = {{"DISPLAY", server_->display()}};
        command.unsetEnv = {"WAYLAND_DISPLAY"};
        command.logPath = log;
    } else {
        e2e::WinePrefix& prefix = winePrefix();
        if (!prefix.ready())
            prefix.create();
        command = prefix.program(programPath(target_), {}, server_->display(), log);
    }
    for (const auto& variable : options_.environment)
        setVariable(command, variable);
    process_ = e2e::Process::start(command);
}

void ViewerSession::dismissNotice() {
    const std::optional<e2e::WindowInfo> notice = x_->waitForWindow(expected::noticeCaption, startTimeout);
    ASSERT_TRUE(notice) << "no usage notice appeared; windows:\n" << x_->describeWindows();
    x_->movePointer(notice->rect.x + notice->rect.width / 2, notice->rect.y + notice->rect.height / 2);
    x_->typeKey(XK_Return);
    ASSERT_TRUE(x_->waitForNoWindow(expected::noticeCaption, pictureTimeout)) << "Return did not dismiss the notice";
}

void ViewerSession::openWindow() {
    ASSERT_NO_FATAL_FAILURE(dismissNotice());

    const std::optional<e2e::WindowInfo> window = x_->waitForWindow(expected::windowTitle, startTimeout);
    ASSERT_TRUE(window) << "the viewer's window did not appear; windows:\n" << x_->describeWindows();
    window_ = window->id;
    // The first frame is there once the client area shows the background all round.
    const Rgb background = expected::background;
    const bool drawn = e2e::waitUntil(
        [&] {
            if (!outerRect())
                return false;
            const e2e::Image client = grabClient();
            return client.width() > 40 && client.height() > 40 && client.at(5, 5).near(background, 3) &&
                   client.at(client.width() - 6, client.height() - 6).near(background, 3);
        },
        pictureTimeout, Millis(100));
    if (!drawn)
        saveShot("no-first-frame");
    ASSERT_TRUE(drawn) << "no frame with the background colour in the client area; see " << shotPath("no-first-frame");
}

std::optional<Rect> ViewerSession::outerRect() {
    if (target_ == Target::Native) {
        const std::optional<e2e::WindowInfo> info = x_->windowInfo(window_);
        if (!info || !info->viewable)
            return std::nullopt;
        outer_ = info->rect;
        return outer_;
    }
    // The frame against the desktop: everything that is not the desktop's colour.
    const e2e::Image screen = x_->grabScreen();
    const Rgb desktop = screen.at(screen.width() - 1, screen.height() - 1);
    const std::optional<Rect> box = e2e::boundingBox(screen, [desktop](Rgb c) { return c != desktop; });
    if (box)
        outer_ = *box;
    return box;
}

Rect ViewerSession::clientRect() {
    if (outer_.empty())
        outerRect();
    if (target_ == Target::Native)
        return outer_;
    return outer_.inset(wineBorder, wineTop, wineBorder, wineBorder);
}

std::optional<Rect> ViewerSession::waitForOuterRect(const Rect& rect, Millis timeout) {
    std::optional<Rect> seen;
    e2e::waitUntil(
        [&] {
            seen = outerRect();
            return seen && *seen == rect;
        },
        timeout, Millis(100));
    return seen;
}

std::string ViewerSession::shotPath(const std::string& name) const {
    return outputDir + "/" + targetName(target_) + "/" + name + ".png";
}

void ViewerSession::saveShot(const std::string& name) {
    x_->grabScreen().savePng(shotPath(name));
}

void ViewerSession::closeWithEscape() {
    const Rect client = clientRect();
    x_->movePointer(client.x + 10, client.y + 10);
    x_->typeKey(XK_Escape);
    EXPECT_TRUE(x_->waitForNoWindow(expected::windowTitle, exitTimeout))
        << "the window is still there after Esc; windows:\n"
        << x_->describeWindows();
    const std::optional<e2e::ExitStatus> status = process_.waitForExit(exitTimeout);
    ASSERT_TRUE(status) << "the program did not end after Esc";
    EXPECT_TRUE(status->exited) << status->describe() << "; the program said:\n" << programOutput();
    EXPECT_EQ(0, status->code) << status->describe() << "; the program said:\n" << programOutput();
}

std::string ViewerSession::programLogPath() const {
    return logDir_ + "/" + testName_ + ".program.log";
}

std::string ViewerSession::programOutput() const {
    std::ifstream file(programLogPath());
    std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    const std::size_t limit = 4000;
    return text.size() > limit ? "..." + text.substr(text.size() - limit) : text;
}

}  // namespace viewer_e2e
