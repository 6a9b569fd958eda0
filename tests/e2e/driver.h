// The end-to-end driver: a private X server (Xvfb, with openbox when asked), programs started on
// it, their windows found by title and read back as pictures, and input through XTest (libxdo).
// It knows nothing of the viewer; tests/e2e and bench/ hold what the viewer should do.
#pragma once

#include <chrono>
#include <cstdint>
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

struct Rgb {
    uint8_t r = 0, g = 0, b = 0;
    bool near(Rgb o, int tolerance) const;
    bool operator==(const Rgb& o) const { return r == o.r && g == o.g && b == o.b; }
};

struct Rect {
    int x = 0, y = 0, width = 0, height = 0;
    bool operator==(const Rect& o) const { return x == o.x && y == o.y && width == o.width && height == o.height; }
    std::string describe() const;  // "WxH at (x, y)"
};

struct Image {
    int width = 0, height = 0;
    std::vector<Rgb> pixels;  // rows from the top
    Rgb at(int x, int y) const { return pixels[size_t(y) * width + x]; }
    bool operator==(const Image& o) const { return width == o.width && pixels == o.pixels; }
    bool operator!=(const Image& o) const { return !(*this == o); }
    // Pixels inside `area` (everything if empty) for which `test` holds, and their bounding box.
    int count(const std::function<bool(Rgb)>& test, Rect area = {}) const;
    std::optional<Rect> box(const std::function<bool(Rgb)>& test) const;
    void savePng(const std::string& path) const;  // creates the folder
};

// A child process in a process group of its own, with its output in a log; ended with its group.
class Program {
public:
    // `environment` entries NAME=VALUE are added, and a bare NAME removed from the caller's.
    Program(const std::vector<std::string>& argv, const std::vector<std::string>& environment, const std::string& log);
    ~Program();
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;
    // The exit code (a signal as 128 + its number) once it has ended within `timeout`.
    std::optional<int> waitForExit(Millis timeout);
    std::string output() const;  // its log
    int pid() const { return pid_; }

private:
    int pid_ = -1;
    std::optional<int> status_;
    std::string log_;
};

// A private X server of 1280x1024 at a depth, on a display number it picks itself.
class Screen {
public:
    explicit Screen(const std::string& logPath, int depth = 24, bool windowManager = false);
    ~Screen();
    Screen(const Screen&) = delete;
    Screen& operator=(const Screen&) = delete;
    const std::string& display() const { return display_; }
    void* xlib() const;  // Xlib's Display, for checks of window properties
    int serverPid() const { return xvfbPid_; }  // the X server's process, for its CPU time

    // A viewable window with exactly this title, waited for; and waiting for none to be left.
    std::optional<Window> waitForWindow(const std::string& title, Millis timeout);
    bool waitForNoWindow(const std::string& title, Millis timeout);
    // Presses Return over the box with this title (with no window manager the keyboard follows
    // the pointer); whether the box came and went.
    bool dismiss(const std::string& title, Millis timeout);
    std::optional<Rect> rect(Window window);  // its inside, in screen coordinates
    Image grab(Rect area);                    // what the screen shows there
    Image grabScreen() { return grab({0, 0, 1280, 1024}); }

    void move(int x, int y);  // the pointer, which the keyboard follows when no window manager runs
    void press(int button = 1);
    void release(int button = 1);
    void dragTo(int x, int y, int steps);  // from where the pointer is, with the button held
    void key(const char* keys);           // keys one after another, e.g. "Return", "F P f", "Escape"
    // Sends a window manager's close request (WM_DELETE_WINDOW), as a close button does.
    void close(Window window);
    // Asks for a size, or a place and a size, as another client would.
    void resize(Window window, int width, int height);
    void moveResize(Window window, Rect rect);
    // Runs a tool (wmctrl, say) on this display to its end.
    void run(std::vector<std::string> argv);
    // Whether the window has been given a size other than width x height since the last look
    // (the first look starts watching it), however briefly.
    bool sizeChanged(Window window, int width, int height);

private:
    int xvfbPid_ = -1, windowManagerPid_ = -1;
    std::string display_;
    ::xdo* xdo_ = nullptr;
};

}  // namespace e2e
