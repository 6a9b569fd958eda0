// The end-to-end driver: private X servers (Xvfb, under openbox when asked), programs started on
// them, windows found by title and read back as pictures, input through XTest (libxdo). It knows
// nothing of the viewer; tests/e2e and bench/ say what the viewer should do.
#pragma once

#include "tests/support/picture.h"

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <vector>

struct xdo;

namespace e2e {

using Millis = std::chrono::milliseconds;
using Window = unsigned long;

// Calls `done` every `step` until it is true or `timeout` has passed; whether it became true.
bool waitUntil(const std::function<bool()>& done, Millis timeout, Millis step = Millis(50));

// A child in a process group of its own, its output in a log, ended with its group if it still
// runs. Environment entries NAME=VALUE are set for it, a bare NAME is removed.
class Program {
public:
    Program(const std::vector<std::string>& argv, const std::vector<std::string>& environment,
            const std::string& log);
    ~Program();
    std::optional<int> waitForExit(Millis timeout);  // its exit code, a signal as 128 + its number
    std::string state();                             // "running", or "ended with" its exit code
    std::string output() const;
    int pid() const { return pid_; }

private:
    int pid_;
    std::optional<int> status_;
    std::string log_;
};

// A private X server of 1280x1024 at a depth, on a display number it picks itself.
class Screen {
public:
    explicit Screen(const std::string& log, int depth = 24, bool windowManager = false);
    ~Screen();
    const std::string& display() const { return display_; }
    int serverPid() const { return xvfb_; }  // for its CPU time

    // A viewable window with exactly this title; none left; a box dismissed with Return over it.
    std::optional<Window> waitForWindow(const std::string& title, Millis timeout);
    bool waitForNoWindow(const std::string& title, Millis timeout);
    bool dismiss(const std::string& title, Millis timeout);
    std::string windows();                    // the titled windows shown, each quoted with its place
    std::optional<Rect> rect(Window window);  // its inside, in screen coordinates, while shown
    std::vector<unsigned long> property(Window window, const char* name);  // 32-bit CARDINALs
    Image grab(Rect area);
    Image grabScreen() { return grab({0, 0, 1280, 1024}); }

    void move(int x, int y);  // the pointer, which the keyboard follows when no window manager runs
    void press(int button = 1);
    void release(int button = 1);
    void dragTo(int x, int y, int steps);               // from where the pointer is
    void key(const char* keys);                         // one after another, e.g. "Return", "F P f", "Escape"
    void close(Window window);                          // WM_DELETE_WINDOW, as a close button sends it
    void resize(Window window, int width, int height);  // as another client would ask
    void moveResize(Window window, Rect rect);
    void run(std::vector<std::string> argv);  // a tool (wmctrl, say) on this display, to its end
    // Whether the window was given another size than width x height since the last look (the
    // first look starts watching), however briefly.
    bool sizeChanged(Window window, int width, int height);

private:
    std::vector<Window> search(const std::string& pattern);  // viewable windows by title, a regex
    int xvfb_ = -1, windowManager_ = -1;
    std::string display_;
    ::xdo* xdo_ = nullptr;
};

}  // namespace e2e
