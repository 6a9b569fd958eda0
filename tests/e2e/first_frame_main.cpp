// Shows the viewer's first frame on a machine without a display: starts a virtual X server,
// runs the program there, dismisses its notice, saves the window as a PNG and closes it.
//
// Usage: helicoid_first_frame PROGRAM OUTPUT.png [--drag]
//   --drag: turn the model with one drag of the left button before closing it
#include <X11/keysym.h>

#include <cstdio>
#include <exception>
#include <optional>
#include <string>

#include "driver/process.h"
#include "driver/x_client.h"
#include "driver/xvfb.h"

namespace {

const std::string noticeCaption = "soft by Tesmoral - helicoid@example.com ";
const std::string windowTitle = " soft by Tesmoral";
const e2e::Rgb background{38, 38, 38};
// Generous: the program may run under valgrind.
const e2e::Millis timeout{180000};

int fail(const std::string& why) {
    std::fprintf(stderr, "helicoid_first_frame: %s\n", why.c_str());
    return 1;
}

int showFirstFrame(const std::string& program, const std::string& output, bool drag) {
    std::unique_ptr<e2e::Xvfb> server = e2e::Xvfb::start("1280x1024x24", output + ".xvfb.log");
    e2e::XClient x(server->display());

    e2e::Command command({program});
    command.setEnv = {{"DISPLAY", server->display()}};
    command.unsetEnv = {"WAYLAND_DISPLAY", "SDL_VIDEODRIVER"};
    command.logPath = output + ".log";
    e2e::Process viewer = e2e::Process::start(command);

    std::optional<e2e::WindowInfo> notice = x.waitForWindow(noticeCaption, timeout);
    if (!notice) return fail("the notice did not appear; see " + command.logPath);
    x.movePointer(notice->rect.x + notice->rect.width / 2, notice->rect.y + notice->rect.height / 2);
    x.typeKey(XK_Return);

    std::optional<e2e::WindowInfo> window = x.waitForWindow(windowTitle, timeout);
    if (!window) return fail("the window did not appear; see " + command.logPath);
    e2e::Image picture;
    bool drawn = e2e::waitUntil(
        [&] {
            picture = x.grab(window->rect);
            return picture.width() > 10 && picture.at(2, 2).near(background, 3);
        },
        timeout, e2e::Millis(100));
    if (!drawn) return fail("no frame was drawn");
    picture.savePng(output);

    const int cx = window->rect.x + window->rect.width / 2, cy = window->rect.y + window->rect.height / 2;
    if (drag) {
        x.movePointer(cx, cy);
        x.pressButton();
        x.movePointerAlong(cx, cy, cx + 150, cy + 80, 8, e2e::Millis(50));
        x.releaseButton();
    }
    x.movePointer(cx, cy);
    x.typeKey(XK_Escape);
    std::optional<e2e::ExitStatus> status = viewer.waitForExit(timeout);
    if (!status) return fail("the program did not end after Esc");
    return status->exited ? status->code : 1;
}

}  // namespace

int main(int argc, char** argv) {
    const bool drag = argc == 4 && std::string(argv[3]) == "--drag";
    if (argc != 3 && !drag) {
        std::fprintf(stderr, "usage: %s PROGRAM OUTPUT.png [--drag]\n", argv[0]);
        return 2;
    }
    try {
        return showFirstFrame(argv[1], argv[2], drag);
    } catch (const std::exception& error) {
        return fail(error.what());
    }
}
