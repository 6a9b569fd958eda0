// The end-to-end driver: children through posix_spawn, Xvfb with -displayfd, windows and input
// through libxdo (XTest), pictures through XGetImage.
#include "driver.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
extern "C" {
#include <xdo.h>
}

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <clocale>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <thread>

extern char** environ;

namespace e2e {
namespace {

// Starts argv[0] (found on PATH) in a process group of its own through env(1), which makes the
// changes to the environment that Program describes; its output in `log`, descriptor `closed` closed.
int spawn(const std::vector<std::string>& argv, const std::vector<std::string>& changes,
          const std::string& log, int closed = -1) {
    std::vector<std::string> command = {"env"};  // env -u NAME ... NAME=VALUE ... ARGV
    for (const std::string& change : changes)
        change.find('=') == std::string::npos ? void(command.insert(command.begin() + 1, {"-u", change}))
                                              : command.push_back(change);
    command.insert(command.end(), argv.begin(), argv.end());
    std::vector<char*> args;
    for (const std::string& a : command) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    if (!log.empty()) std::filesystem::create_directories(std::filesystem::path(log).parent_path());
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, log.empty() ? "/dev/null" : log.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_adddup2(&actions, 1, 2);
    if (closed >= 0) posix_spawn_file_actions_addclose(&actions, closed);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);
    pid_t pid = -1;
    const int failed = posix_spawnp(&pid, args[0], &actions, &attributes, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions), posix_spawnattr_destroy(&attributes);
    if (failed != 0) throw std::runtime_error("cannot start " + argv[0] + ": " + std::strerror(failed));
    return pid;
}

// SIGTERM to the group, SIGKILL after three seconds; reaps the leader.
void endGroup(int pid) {
    int status = 0;
    if (pid <= 0 || kill(-pid, SIGTERM) != 0) return;
    if (!waitUntil([&] { return waitpid(pid, &status, WNOHANG) != 0; }, Millis(3000)))
        kill(-pid, SIGKILL), waitpid(pid, &status, 0);
}

}  // namespace

bool waitUntil(const std::function<bool()>& done, Millis timeout, Millis step) {
    for (const auto deadline = std::chrono::steady_clock::now() + timeout; !done();
         std::this_thread::sleep_for(step))
        if (std::chrono::steady_clock::now() >= deadline) return false;
    return true;
}

Program::Program(const std::vector<std::string>& argv, const std::vector<std::string>& environment,
                 const std::string& log)
    : pid_(spawn(argv, environment, log)), log_(log) {}

Program::~Program() {
    if (!status_) endGroup(pid_);
}

std::optional<int> Program::waitForExit(Millis timeout) {
    int status = 0;
    if (!status_ && waitUntil([&] { return waitpid(pid_, &status, WNOHANG) == pid_; }, timeout))
        status_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    return status_;
}

std::string Program::output() const {
    std::ifstream log(log_);
    return {std::istreambuf_iterator<char>(log), {}};
}

Screen::Screen(const std::string& log, int depth, bool windowManager) {
    int ready[2];
    if (pipe(ready) != 0) throw std::runtime_error("no pipe");
    xvfb_ = spawn({"Xvfb", "-displayfd", std::to_string(ready[1]), "-screen", "0",
                   "1280x1024x" + std::to_string(depth), "-nolisten", "tcp"},
                  {}, log, ready[0]);
    ::close(ready[1]);
    // The number comes as digits and a line feed; Xvfb fails if it cannot write the line feed.
    char c = 0;
    for (pollfd wait = {ready[0], POLLIN, 0};
         poll(&wait, 1, 15000) == 1 && read(ready[0], &c, 1) == 1 && c != '\n';)
        display_ += c;
    ::close(ready[0]);
    // NOTE: libxdo reads titles through the locale; SDL and Wine give theirs in UTF-8.
    std::setlocale(LC_ALL, "C.UTF-8");
    if (display_.empty() || (xdo_ = xdo_new((display_ = ":" + display_).c_str())) == nullptr)
        throw std::runtime_error("no Xvfb; see " + log);
    // Windows come and go while they are looked at; one that went is just not found.
    XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });
    if (!windowManager) return;
    windowManager_ = spawn({"openbox", "--sm-disable"}, {"DISPLAY=" + display_}, log + ".openbox");
    const Atom managed = XInternAtom(xdo_->xdpy, "WM_S0", False);
    if (!waitUntil([&] { return XGetSelectionOwner(xdo_->xdpy, managed) != None; }, Millis(15000)))
        throw std::runtime_error("no openbox");
}

Screen::~Screen() {
    xdo_free(xdo_);
    endGroup(windowManager_), endGroup(xvfb_);
}

std::vector<Window> Screen::search(const std::string& pattern) {
    xdo_search_t search = {};
    search.winname = pattern.c_str();
    search.searchmask = SEARCH_NAME | SEARCH_ONLYVISIBLE;
    search.max_depth = -1;
    ::Window* windows = nullptr;
    unsigned int count = 0;
    // NOTE: libxdo frees a name it never read when a window goes while it is searched; holding
    // the server keeps every window there until the search is done.
    XGrabServer(xdo_->xdpy);
    xdo_search_windows(xdo_, &search, &windows, &count);
    XUngrabServer(xdo_->xdpy), XFlush(xdo_->xdpy);
    std::vector<Window> found(windows, windows + count);
    std::free(windows);
    return found;
}

std::optional<Window> Screen::waitForWindow(const std::string& title, Millis timeout) {
    std::string pattern = "^";
    for (char c : title) pattern += std::string(std::strchr(".[]{}()*+?^$|\\", c) != nullptr ? "\\" : "") + c;
    std::optional<Window> found;
    waitUntil(
        [&] {
            const std::vector<Window> windows = search(pattern + "$");
            if (!windows.empty()) found = windows[0];
            return found.has_value();
        },
        timeout);
    return found;
}

std::string Screen::windows() {
    std::string list;
    for (Window window : search(".")) {
        unsigned char* name = nullptr;
        int length = 0, type = 0;
        xdo_get_window_name(xdo_, window, &name, &length, &type);
        list += "\"" + std::string(name ? reinterpret_cast<char*>(name) : "") + "\"; ";
        XFree(name);
    }
    return list.empty() ? "none" : list;
}

bool Screen::waitForNoWindow(const std::string& title, Millis timeout) {
    return waitUntil([&] { return !waitForWindow(title, Millis(0)); }, timeout);
}

bool Screen::dismiss(const std::string& title, Millis timeout) {
    const std::optional<Window> box = waitForWindow(title, timeout);
    const std::optional<Rect> r = box ? rect(*box) : std::nullopt;
    if (r) move(r->x + r->width / 2, r->y + r->height / 2), key("Return");
    return r && waitForNoWindow(title, timeout);
}

std::optional<Rect> Screen::rect(Window window) {
    XWindowAttributes a;
    ::Window child;
    int x = 0, y = 0;
    if (XGetWindowAttributes(xdo_->xdpy, window, &a) == 0 || a.map_state != IsViewable) return std::nullopt;
    XTranslateCoordinates(xdo_->xdpy, window, DefaultRootWindow(xdo_->xdpy), 0, 0, &x, &y, &child);
    return Rect{x, y, a.width, a.height};
}

std::vector<unsigned long> Screen::property(Window window, const char* name) {
    long items = 0;
    Atom type;
    int size = 0;
    unsigned char* data = xdo_get_window_property_by_atom(xdo_, window, XInternAtom(xdo_->xdpy, name, False),
                                                          &items, &type, &size);
    const auto* values = reinterpret_cast<unsigned long*>(data);
    std::vector<unsigned long> result(values, values + (data ? items : 0));
    return XFree(data), result;
}

Image Screen::grab(Rect r) {
    Image image{std::min(r.width, 1280 - r.x), std::min(r.height, 1024 - r.y), {}};
    XImage* x = XGetImage(xdo_->xdpy, DefaultRootWindow(xdo_->xdpy), r.x, r.y, image.width, image.height,
                          AllPlanes, ZPixmap);
    for (int row = 0; x != nullptr && row < image.height; ++row)
        for (int column = 0; column < image.width; ++column) {
            const unsigned long p = XGetPixel(x, column, row);
            image.pixels.push_back({uint8_t(p >> 16), uint8_t(p >> 8), uint8_t(p)});
        }
    if (x == nullptr) return Image{};
    return XDestroyImage(x), image;
}

void Screen::move(int x, int y) {
    // A program that gave its window the focus leaves none when it ends (SDL's windows do): with
    // no window manager to take it, the keyboard goes back to following the pointer.
    ::Window focus = None;
    int revert = 0;
    if (windowManager_ < 0 && (XGetInputFocus(xdo_->xdpy, &focus, &revert), focus == None))
        XSetInputFocus(xdo_->xdpy, PointerRoot, RevertToPointerRoot, CurrentTime);
    xdo_move_mouse(xdo_, x, y, 0), XSync(xdo_->xdpy, False);
}
void Screen::press(int button) { xdo_mouse_down(xdo_, CURRENTWINDOW, button), XSync(xdo_->xdpy, False); }
void Screen::release(int button) { xdo_mouse_up(xdo_, CURRENTWINDOW, button), XSync(xdo_->xdpy, False); }

void Screen::key(const char* keys) {
    std::istringstream each(keys);
    for (std::string key; each >> key;) xdo_send_keysequence_window(xdo_, CURRENTWINDOW, key.c_str(), 12000);
    XSync(xdo_->xdpy, False);
}

void Screen::dragTo(int x, int y, int steps) {
    int x0 = 0, y0 = 0, screen = 0;
    xdo_get_mouse_location(xdo_, &x0, &y0, &screen);
    for (int i = 1; i <= steps; ++i, std::this_thread::sleep_for(Millis(30)))
        move(x0 + (x - x0) * i / steps, y0 + (y - y0) * i / steps);
}

void Screen::close(Window window) {
    XEvent event = {};
    event.xclient = {
        ClientMessage, 0, False, nullptr, window, XInternAtom(xdo_->xdpy, "WM_PROTOCOLS", False), 32, {}};
    event.xclient.data.l[0] = long(XInternAtom(xdo_->xdpy, "WM_DELETE_WINDOW", False));
    XSendEvent(xdo_->xdpy, window, False, NoEventMask, &event), XSync(xdo_->xdpy, False);
}

void Screen::resize(Window window, int width, int height) {
    XResizeWindow(xdo_->xdpy, window, width, height), XSync(xdo_->xdpy, False);
}
void Screen::moveResize(Window window, Rect r) {
    XMoveResizeWindow(xdo_->xdpy, window, r.x, r.y, r.width, r.height), XSync(xdo_->xdpy, False);
}
void Screen::run(std::vector<std::string> argv) {
    Program(argv, {"DISPLAY=" + display_}, "").waitForExit(Millis(20000));
}

bool Screen::sizeChanged(Window window, int width, int height) {
    XSelectInput(xdo_->xdpy, window, StructureNotifyMask), XSync(xdo_->xdpy, False);
    bool changed = false;
    for (XEvent e; XCheckTypedWindowEvent(xdo_->xdpy, window, ConfigureNotify, &e);)
        changed |= e.xconfigure.width != width || e.xconfigure.height != height;
    return changed;
}

}  // namespace e2e
