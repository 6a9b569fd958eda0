// One run of the viewer for an end-to-end test: its own X server, the program started for one
// target (the native build, or the Windows build under Wine), and how to find and measure its
// window on that target.
#pragma once

#include <memory>
#include <ostream>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "driver/file_lock.h"
#include "driver/image.h"
#include "driver/process.h"
#include "driver/window_manager.h"
#include "driver/wine.h"
#include "driver/x_client.h"
#include "driver/xvfb.h"
#include "scene/viewer_texts.h"

namespace viewer_e2e {

using e2e::Millis;

enum class Target { Native, Wine };

std::string targetName(Target target);           // "native" or "wine"
void PrintTo(Target target, std::ostream* out);  // for test output

// What a person sees of the viewer, and where to find it.
namespace expected {
inline const std::string windowTitle = viewerWindowTitle;
inline const std::string noticeCaption = usageNoticeCaption;
inline const e2e::Rect outerWindow{50, 50, 819, 819};  // at (50, 50), 0.8 x 1024 on each side
// Clear colours as 8-bit values: 0.15 grey, and the fog's (0.5, 0.25, 0.25).
inline const e2e::Rgb background{38, 38, 38};
inline const e2e::Rgb fogBackground{128, 64, 64};
inline constexpr int screenWidth = 1280;
inline constexpr int screenHeight = 1024;
}  // namespace expected

// Generous deadlines: Wine can take 10 to 20 s to show anything on a busy machine.
inline constexpr Millis startTimeout{60000};
inline constexpr Millis pictureTimeout{20000};
inline constexpr Millis exitTimeout{30000};

// How a session differs from the plain one: a 24-bit screen, the program as built, no window
// manager.
struct SessionOptions {
    int screenDepth = 24;
    std::vector<std::pair<std::string, std::string>> environment;  // for the program (Wine's too)
    std::string nativeProgram;   // run in place of the native build (a test build of it)
    bool windowManager = false;  // openbox on the X server
};

class ViewerSession {
public:
    // Why this target cannot run here (program not built, Wine missing), or nothing.
    static std::optional<std::string> unavailable(Target target);

    // Starts the X server; the program is started by start().
    ViewerSession(Target target, const std::string& testName, SessionOptions options = {});
    ~ViewerSession();  // ends whatever is still running: program, Wine's processes, X server

    e2e::XClient& x() { return *x_; }
    e2e::Process& process() { return process_; }
    e2e::WindowManager& windowManager() { return *windowManager_; }  // with options.windowManager
    Target target() const { return target_; }

    void start();
    // Dismisses the usage notice with Return and waits for the viewer's window and first frame.
    // Fails the test (fatally) if either does not come.
    void openWindow();
    // Dismisses the usage notice with Return; fails the test (fatally) if it does not come.
    void dismissNotice();

    // The window's outer rectangle on the screen, measured the way the target allows: the X
    // geometry natively (no window manager, so no frame), the frame in a screenshot under Wine
    // (Wine does not keep the X geometry of windows in its desktop up to date).
    std::optional<e2e::Rect> outerRect();
    // The client area: the outer rectangle less Wine's frame, or all of it natively.
    e2e::Rect clientRect();
    e2e::Image grabClient() { return x_->grab(clientRect()); }
    // Waits until the outer rectangle is `rect`; returns the last one seen.
    std::optional<e2e::Rect> waitForOuterRect(const e2e::Rect& rect, Millis timeout);

    // The viewer's X window (the top-level one natively; Wine's own X window under Wine).
    e2e::WindowId window() const { return window_; }

    // Saves a screenshot of the whole screen as <shots>/<target>/<name>.png.
    void saveShot(const std::string& name);
    std::string shotPath(const std::string& name) const;

    // Esc over the client area; the window must go and the process end by itself with exit
    // code 0 (Wine reports 0 for a killed program too, hence both pieces of evidence).
    void closeWithEscape();

    // What the program wrote to stdout and stderr (the end of it, if long).
    std::string programOutput() const;

private:
    std::string programLogPath() const;

    Target target_;
    std::string testName_;
    SessionOptions options_;
    std::string logDir_;
    std::unique_ptr<e2e::FileLock> prefixLock_;  // held for the whole run under Wine
    std::unique_ptr<e2e::Xvfb> server_;
    std::unique_ptr<e2e::XClient> x_;
    std::unique_ptr<e2e::WindowManager> windowManager_;
    e2e::Process process_;
    e2e::WindowId window_ = 0;
    e2e::Rect outer_;  // last measured
};

// The Wine prefix this test run uses, made on first use.
e2e::WinePrefix& winePrefix();

}  // namespace viewer_e2e
