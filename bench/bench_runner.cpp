// Measures the benchmark's programs from outside, on a private X server: frame rate of the
// resting state, start-up, idle cost and key delay of the stopped state, Esc endings and a long
// spin (README.md says how). Usage: bench_runner OUTPUT_DIR, with lengths in the environment.
#include "swap_record.h"

#include "scene/viewer_texts.h"
#include "tests/e2e/driver.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <iterator>
#include <thread>

using namespace e2e;

namespace {

std::string setting(const char* name, const char* fallback) {
    const char* value = std::getenv(name);
    return value != nullptr && *value != '\0' ? value : fallback;
}
double setting(const char* name, double fallback) {
    return std::atof(setting(name, std::to_string(fallback).c_str()).c_str());
}

// Whether the comma-separated list in the environment variable (or else `fallback`) names `item`.
bool named(const char* list, const std::string& item, const char* fallback = "frames,idle,keys,esc,spin") {
    return ("," + setting(list, fallback) + ",").find("," + item + ",") != std::string::npos;
}

const int rounds = int(setting("ROUNDS", 5)), keyCount = int(setting("KEYS", 50)),
          escRuns = int(setting("ESC_RUNS", 100));
const double warmup = setting("WARMUP", 3), measure = setting("MEASURE", 10),
             idleSeconds = setting("IDLE", 10), spinSeconds = setting("SPIN", 60);
std::string out, prefix;  // the output folder, and the Wine prefix run.sh made in it
std::ofstream report;
// The process groups to end if the runner is stopped: the X server's and the program's.
volatile sig_atomic_t serverGroup = 0, programGroup = 0;

// NOTE: libstdc++'s steady clock is CLOCK_MONOTONIC, the clock of the counter's stamps.
int64_t nowNs() {
    return std::chrono::nanoseconds(std::chrono::steady_clock::now().time_since_epoch()).count();
}
void pause(double seconds) { std::this_thread::sleep_for(std::chrono::duration<double>(seconds)); }

void say(const std::string& text = "") {
    std::printf("%s\n", text.c_str());
    report << text << '\n' << std::flush;
}

void row(const std::vector<std::string>& cells) {
    std::string line = "|";
    for (const std::string& cell : cells) line += " " + cell + " |";
    say(line);
}

// A table's head: the subject's column to the left, the figures' to the right.
void head(const std::vector<std::string>& columns) {
    row(columns);
    std::string rule = "|---|";
    for (size_t column = 1; column < columns.size(); ++column) rule += "---:|";
    say(rule);
}

std::string fixed(double value, int decimals) {
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    return std::isfinite(value) ? text : "-";
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n == 0 ? NAN : (values[(n - 1) / 2] + values[n / 2]) / 2;
}

std::string list(const std::vector<double>& values, int decimals) {
    std::string text;
    for (double value : values) text += (text.empty() ? "" : ", ") + fixed(value, decimals);
    return text;
}

std::string slurp(const std::string& path) {
    std::ifstream file(path);
    return {std::istreambuf_iterator<char>(file), {}};
}

std::string proc(int pid, const std::string& file) { return "/proc/" + std::to_string(pid) + "/" + file; }
std::string load() { return slurp("/proc/loadavg").substr(0, 14); }

// CPU seconds (user + system) and minor page faults, from a stat file of a process or a thread.
struct Usage {
    double cpu = 0, faults = 0;
};
Usage usage(const std::string& statPath) {
    const std::string text = slurp(statPath);
    // The name in parentheses may hold blanks: the fields are counted from the state after it.
    unsigned long faults = 0, user = 0, system = 0;
    std::sscanf(text.c_str() + std::min(text.size(), text.rfind(')') + 1),
                " %*c %*d %*d %*d %*d %*d %*u %lu %*u %*u %*u %lu %lu", &faults, &user, &system);
    return {double(user + system) / double(sysconf(_SC_CLK_TCK)), double(faults)};
}

// A number from a status file ("VmHWM" in kB, "voluntary_ctxt_switches").
double field(const std::string& statusPath, const std::string& name) {
    const std::string text = slurp(statusPath);
    const size_t at = text.find("\n" + name + ":");
    return at == std::string::npos ? 0 : std::atof(text.c_str() + at + name.size() + 2);
}

// Over every thread: CPU nanoseconds (schedstat, finer than stat's ticks) and wake-ups (voluntary
// context switches, each the end of a sleep); and the wake-ups of the thread that entered main.
struct Threads {
    double cpuNs = 0, wakeUps = 0, mainWakeUps = 0;
};
Threads threadsOf(int pid) {
    Threads t;
    std::error_code gone;
    for (const auto& task : std::filesystem::directory_iterator(proc(pid, "task"), gone)) {
        const double switches = field(task.path() / "status", "voluntary_ctxt_switches");
        t.wakeUps += switches;
        t.mainWakeUps += task.path().filename() == std::to_string(pid) ? switches : 0;
        t.cpuNs += std::atof(slurp(task.path() / "schedstat").c_str());
    }
    return t;
}

// CPU seconds of the processes of our Wine prefix by the name of their program ("wineserver" for
// the 32- or 64-bit server, "explorer.exe", ...). Between two looks, a process that came counts
// with all its time.
using Names = std::map<std::string, double>;
Names winePrefixCpu() {
    Names found;
    const std::string entry = std::string(1, '\0') + "WINEPREFIX=" + prefix + '\0';
    for (const auto& process : std::filesystem::directory_iterator("/proc")) {
        if (('\0' + slurp(process.path() / "environ")).find(entry) == std::string::npos) continue;
        std::string name = slurp(process.path() / "cmdline");
        name = name.substr(0, name.find('\0'));
        name = name.substr(name.find_last_of("/\\") + 1);
        found[name.rfind("wineserver", 0) == 0 ? "wineserver" : name] += usage(process.path() / "stat").cpu;
    }
    return found;
}

// A program measured: the viewer itself (with its notice and its stopped state) or a bare loop.
struct Subject {
    std::string key, label;
    std::vector<std::string> argv;
    bool viewer, wine;
};

std::vector<Subject> chosenSubjects() {
    const std::string patched = setting("NATIVE_PATCHED", "");
    const auto underWine = [](const char* exe) {
        return std::vector<std::string>{WINE_PREFIX_SCRIPT, prefix, "run", exe};
    };
    const std::vector<Subject> all = {
        {"native", "native (linux build)", {HELICOID_NATIVE_EXE}, true, false},
        {"native-patched", "native with a change under test", {patched}, true, false},
        {"glx", "bare GLX loop", {GLX_LOOP_EXE}, false, false},
        {"wine", "windows-x86 build, 32-bit Wine", underWine(HELICOID_WINDOWS_EXE), true, true},
        {"wgl", "bare WGL loop, 32-bit Wine", underWine(WGL_LOOP_EXE), false, true},
    };
    std::vector<Subject> chosen;
    for (const Subject& s : all) {
        if (!named("SUBJECTS", s.key,
                   patched.empty() ? "native,glx,wine,wgl" : "native,native-patched,glx,wine,wgl"))
            continue;
        // The Wine subjects are 32-bit programs: a prefix made for 64-bit Wine (where the kernel
        // cannot run 32-bit programs) cannot run them.
        std::string build;
        std::ifstream(prefix + "/windows-build") >> build;
        bool there = !s.wine || build == "x86";
        for (const std::string& file : {s.argv.front(), s.argv.back()})
            there &= access(file.c_str(), R_OK) == 0;
        if (there)
            chosen.push_back(s);
        else
            say("Not measured: " + s.label + " (no " + s.argv.back() +
                (s.wine ? " or no 32-bit Wine prefix" : "") + ").\n");
    }
    return chosen;
}

// One run of a subject: the program with the swap counter preloaded, and the counter's record.
struct Run {
    Screen& screen;
    const Subject& subject;
    SwapRecord* record = nullptr;
    int64_t started = 0;
    std::unique_ptr<Program> program;
    double startup = 0, toNotice = 0;  // seconds, once the first frame is there

    Run(Screen& on, const Subject& what) : screen(on), subject(what) {
        const std::string path = out + "/swaps-" + subject.key;
        const int fd = open(path.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        void* mapped = fd >= 0 && ftruncate(fd, sizeof(SwapRecord)) == 0
                           ? mmap(nullptr, sizeof(SwapRecord), PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0)
                           : MAP_FAILED;
        close(fd);
        if (mapped == MAP_FAILED) throw std::runtime_error("cannot map " + path);
        record = static_cast<SwapRecord*>(mapped);
        // vblank_mode=0: Mesa's swaps never wait for the display's refresh, so a frame rate is the
        // drawing's even where the program asks for synchronised swaps.
        // Each process loads the counter of its own kind (the 32-bit one under 32-bit Wine) and
        // skips the other.
        std::vector<std::string> env = {"DISPLAY=" + on.display(),
                                        "LD_PRELOAD=" SWAP_COUNTER_LIB " " SWAP_COUNTER32_LIB,
                                        SWAP_COUNTER_ENV "=" + path, "vblank_mode=0"};
        started = nowNs();
        program = std::make_unique<Program>(what.argv, env, out + "/logs/" + what.key + ".log");
        programGroup = program->pid();
    }
    ~Run() {
        if (subject.wine) screen.run({WINE_PREFIX_SCRIPT, prefix, "end"});
        program.reset();
        programGroup = 0;
        munmap(record, sizeof(SwapRecord));
    }

    int64_t read(int64_t SwapRecord::*item) const {
        return __atomic_load_n(&(record->*item), __ATOMIC_SEQ_CST);
    }

    // Answers the notice, if any, and waits for the first swap. Start-up is the time to that swap
    // less the notice's time on screen, from when it was seen to the Return that ended it.
    bool firstFrame() {
        int64_t shown = 0, answered = 0;
        waitUntil(
            [&] {
                if (read(&SwapRecord::swaps) > 0 || program->waitForExit(Millis(0))) return true;
                if (!subject.viewer || nowNs() - answered < 300000000) return false;  // Return again 0.3 s on
                const std::optional<Window> box = screen.waitForWindow(usageNoticeCaption, Millis(0));
                const std::optional<Rect> r = box ? screen.rect(*box) : std::nullopt;
                if (!r) return false;
                shown = shown != 0 ? shown : nowNs();
                screen.move(r->x + r->width / 2, r->y + r->height / 2);
                // NOTE: libxdo sends the press, waits 6 ms, sends the release (on which the box acts)
                // and waits 6 ms: the middle of the call is when the box was answered.
                const int64_t sending = nowNs();
                screen.key("Return");
                answered = (sending + nowNs()) / 2;
                return false;
            },
            Millis(120000), Millis(5));
        startup = double(read(&SwapRecord::firstSwapNs) - started - (answered - shown)) / 1e9;
        toNotice = shown != 0 ? double(shown - started) / 1e9 : NAN;
        return read(&SwapRecord::swaps) > 0;
    }

    // After the first frame and `drawing` seconds, a click in the middle of the window stops the
    // drawing; the pointer stays there, so keys go to the window. Then a second's rest.
    bool stop(double drawing) {
        if (!firstFrame()) return false;
        pause(drawing);
        // Under Wine the window's X geometry lags; the program puts it at (50, 50), 819 wide.
        const std::optional<Window> window =
            subject.wine ? std::nullopt : screen.waitForWindow(viewerWindowTitle, Millis(10000));
        const Rect r = (window ? screen.rect(*window) : std::nullopt).value_or(Rect{50, 50, 819, 819});
        screen.move(r.x + r.width / 2, r.y + r.height / 2);
        pause(0.2);
        screen.press();
        screen.release();
        pause(1);
        return true;
    }
};

using Columns = std::map<std::string, std::vector<double>>;

// One run: after the first frame and the warm-up, MEASURE seconds of counted swaps.
void countFrames(Screen& screen, const Subject& subject, int round, Columns& c) {
    // NOTE: Xvfb answers a connection made just after another client's exit only 14-25 ms later.
    pause(1);
    Run run(screen, subject);
    if (!run.firstFrame())
        return (void)std::printf("   %-42s no frame (see its log)\n", subject.label.c_str());
    // The program, its main thread, the X server and, under Wine, the wineserver.
    const auto look = [&] {
        return std::make_tuple(
            nowNs(), run.read(&SwapRecord::swaps), usage(proc(run.program->pid(), "stat")),
            usage(proc(run.program->pid(), "task/" + std::to_string(run.program->pid()) + "/stat")),
            usage(proc(screen.serverPid(), "stat")), subject.wine ? winePrefixCpu()["wineserver"] : NAN);
    };
    pause(warmup);
    const auto [t0, swaps0, program0, main0, server0, wine0] = look();
    pause(measure);
    const auto [t1, swaps1, program1, main1, server1, wine1] = look();
    const double frames = double(swaps1 - swaps0);
    const std::vector<std::pair<const char*, double>> figures = {
        {"round", round},
        {"startup", run.startup},
        {"notice", run.toNotice},
        {"fps", frames * 1e9 / double(t1 - t0)},
        {"cpu", (program1.cpu - program0.cpu) * 1000 / frames},
        {"main", (main1.cpu - main0.cpu) * 1000 / frames},
        {"faults", (program1.faults - program0.faults) / frames},
        {"server", (server1.cpu - server0.cpu) * 1000 / frames},
        {"wineserver", (wine1 - wine0) * 1000 / frames},
        {"rss", field(proc(run.program->pid(), "status"), "VmHWM") / 1024}};
    for (const auto& [name, value] : figures) c[name].push_back(value);
    std::printf("   %-42s %6.1f fps  %5.2f CPU ms/frame  %5.1f faults/frame  start-up %.3f s\n",
                subject.label.c_str(), c["fps"].back(), c["cpu"].back(), c["faults"].back(), run.startup);
}

void frames(Screen& screen, const std::vector<Subject>& subjects) {
    std::map<std::string, Columns> results;
    for (int round = 1; round <= rounds; ++round) {
        std::printf("-- round %d of %d (load %s)\n", round, rounds, load().c_str());
        for (const Subject& subject : subjects) countFrames(screen, subject, round, results[subject.key]);
    }
    say("## Frame rate of the resting state\n\nMedian of " + std::to_string(rounds) +
        " interleaved rounds; each run " + fixed(warmup, 0) + " s after the first frame, then " +
        fixed(measure, 0) + " s counted.\n");
    head({"subject", "fps (median)", "fps per round", "CPU ms/frame", "of which main thread", "faults/frame",
          "X server ms/frame", "wineserver ms/frame", "peak RSS MB"});
    for (const Subject& s : subjects) {
        Columns& c = results[s.key];
        row({s.label, fixed(median(c["fps"]), 1), list(c["fps"], 1), fixed(median(c["cpu"]), 2),
             fixed(median(c["main"]), 2), fixed(median(c["faults"]), 1), fixed(median(c["server"]), 2),
             fixed(median(c["wineserver"]), 3), fixed(median(c["rss"]), 1)});
    }
    say();
    head({"ratio", "of the medians", "median of the rounds' ratios", "target"});
    const std::vector<std::vector<std::string>> pairs = {
        {"native", "glx", ">= 1.20"}, {"native-patched", "glx", "(experiment)"}, {"wine", "wgl", ">= 0.97"}};
    for (const auto& p : pairs)
        if (results.count(p[0]) && results.count(p[1])) {
            Columns &a = results[p[0]], &b = results[p[1]];
            std::vector<double> inRound;  // the runs of a round are close in time, under the same load
            for (size_t i = 0; i < a["fps"].size(); ++i)
                for (size_t j = 0; j < b["fps"].size(); ++j)
                    if (a["round"][i] == b["round"][j]) inRound.push_back(a["fps"][i] / b["fps"][j]);
            row({p[0] + " / " + p[1], fixed(median(a["fps"]) / median(b["fps"]), 3),
                 fixed(median(inRound), 3), p[2]});
        }
    say("\n## Start-up\n\nProcess start to the return of the first buffer swap, less the notice's time on "
        "screen.\n");
    head({"subject", "start-up s (median)", "per run", "of which: start to notice shown"});
    for (const Subject& s : subjects)
        if (!s.wine)
            row({s.label, fixed(median(results[s.key]["startup"]), 3), list(results[s.key]["startup"], 3),
                 fixed(median(results[s.key]["notice"]), 3)});
    if (results.count("native") && results.count("glx"))
        say("\nnative / bare GLX start-up: " +
            fixed(median(results["native"]["startup"]) / median(results["glx"]["startup"]), 2) +
            " (target <= 1.2)");
    say();
}

// IDLE seconds of the stopped state: CPU and wake-ups of the program (and of the prefix under Wine).
void idle(Screen& screen, const Subject& subject) {
    Run run(screen, subject);
    if (!run.stop(2)) return row({subject.label, "no frame"});
    const auto look = [&] {
        return std::make_tuple(nowNs(), run.read(&SwapRecord::swaps), threadsOf(run.program->pid()),
                               subject.wine ? winePrefixCpu() : Names{});
    };
    auto [t0, swaps0, a, before] = look();
    pause(idleSeconds);
    auto [t1, swaps1, b, used] = look();
    const double wall = double(t1 - t0) / 1e9;
    double all = 0;
    std::string detail;
    for (auto& [name, cpu] : used) {
        all += cpu -= before[name];
        if (cpu > 0) detail += (detail.empty() ? " (" : ", ") + name + " " + fixed(cpu * 1000, 0) + " ms";
    }
    const double programMs = (b.cpuNs - a.cpuNs) / 1e6, serverMs = used["wineserver"] * 1000;
    row({subject.label, fixed(wall, 1), std::to_string(swaps1 - swaps0),
         fixed(programMs, 1) + (subject.wine ? " + wineserver " + fixed(serverMs, 0) : ""),
         fixed((programMs + serverMs) / wall / 10, 3) + " %", fixed((b.wakeUps - a.wakeUps) / wall, 1),
         fixed((b.mainWakeUps - a.mainWakeUps) / wall, 1),
         subject.wine ? fixed(100 * all / wall, 2) + " %" + detail + ")" : "-"});
}

// KEYS keys ("x", no command) to the stopped program, 0.137 s apart so that they fall at every
// point of its 100 ms timer; each from the call that sends it to the program taking its key-down.
void keys(Screen& screen, const Subject& subject) {
    Run run(screen, subject);
    if (!run.stop(1)) return row({subject.label, "no frame"});
    std::vector<double> delays;
    for (int key = 0; key < keyCount; ++key, pause(0.137)) {
        const int64_t taken = run.read(&SwapRecord::keyDowns), sent = nowNs();
        screen.key("x");
        if (waitUntil([&] { return run.read(&SwapRecord::keyDowns) != taken; }, Millis(1000), Millis(1)))
            delays.push_back(double(run.read(&SwapRecord::lastKeyDownNs) - sent) / 1e6);
    }
    row({subject.label, std::to_string(delays.size()) + " of " + std::to_string(keyCount),
         fixed(median(delays), 2),
         fixed(delays.empty() ? NAN : *std::max_element(delays.begin(), delays.end()), 2)});
}

// ESC_RUNS runs: first frame, a click to stop, Esc 1 s later; the program must end by itself
// within 10 s with exit code 0.
void escape(Screen& screen, const Subject& subject) {
    std::map<std::string, int> endings;
    for (int attempt = 0; attempt < escRuns; ++attempt) {
        Run run(screen, subject);
        if (run.stop(0)) screen.key("Escape");
        const std::optional<int> code = run.program->waitForExit(Millis(10000));
        ++endings[code ? "exit code " + std::to_string(*code) : "no frame, or still running 10 s after Esc"];
    }
    std::string all;
    for (const auto& [what, count] : endings)
        all += (all.empty() ? "" : ", ") + what + ": " + std::to_string(count);
    row({subject.label, std::to_string(endings["exit code 0"]) + " of " + std::to_string(escRuns), all});
}

// The model's pixels (those not of the background) and the farthest of them from the centre.
std::pair<double, int> shape(const Image& picture, Rgb background) {
    double radius = 0;
    int pixels = 0;
    for (int y = 0; y < picture.height; ++y)
        for (int x = 0; x < picture.width; ++x)
            if (!picture.at(x, y).near(background, 3))
                ++pixels, radius = std::max(radius, std::hypot(x - (picture.width - 1) / 2.0,
                                                               y - (picture.height - 1) / 2.0));
    return {radius, pixels};
}

// A release with motion leaves the model spinning; SPIN seconds of screenshots, 0.2 s apart.
void spin(Screen& screen, const Subject& subject) {
    Run run(screen, subject);
    const std::optional<Window> window =
        run.firstFrame() ? screen.waitForWindow(viewerWindowTitle, Millis(10000)) : std::nullopt;
    const std::optional<Rect> area = window ? screen.rect(*window) : std::nullopt;
    if (!area) return say("The native build showed no window; no spin measured.");
    pause(1);
    const Rgb background = screen.grab({area->x + 3, area->y + 3, 1, 1}).at(0, 0);
    const auto [restRadius, restPixels] = shape(screen.grab(*area), background);
    const int cx = area->x + area->width / 2, cy = area->y + area->height / 2;
    screen.move(cx, cy);
    screen.press();
    screen.dragTo(cx + 60, cy + 18, 6);
    screen.release();
    pause(0.5);
    screen.move(area->x + area->width + 20, cy);  // out of the picture
    const int64_t swaps = run.read(&SwapRecord::swaps), start = nowNs();
    std::vector<std::pair<double, int>> samples;
    int unchanged = 0;
    for (Image previous, picture; double(nowNs() - start) / 1e9 < spinSeconds;
         previous = std::move(picture), pause(0.2)) {
        picture = screen.grab(*area);
        unchanged += picture == previous;
        samples.push_back(shape(picture, background));
    }
    say("## Long spin (native build)\n\n" + fixed(spinSeconds, 0) +
        " s of spin after a release with motion: " + std::to_string(run.read(&SwapRecord::swaps) - swaps) +
        " frames, " + std::to_string(samples.size()) + " screenshots, " + std::to_string(unchanged) +
        " equal to the one before. At rest before the drag: radius " + fixed(restRadius, 1) + " px, " +
        std::to_string(restPixels) + " model pixels.\n");
    head({"screenshots", "largest radius px", "model pixels, min..max"});
    const size_t block = std::max<size_t>(1, (samples.size() + 4) / 5);
    for (size_t from = 0; from < samples.size(); from += block) {
        const auto begin = samples.begin() + long(from),
                   end = samples.begin() + long(std::min(samples.size(), from + block));
        const auto [least, most] =
            std::minmax_element(begin, end, [](auto& p, auto& q) { return p.second < q.second; });
        row({std::to_string(from + 1) + "-" + std::to_string(end - samples.begin()),
             fixed(std::max_element(begin, end)->first, 1),
             std::to_string(least->second) + ".." + std::to_string(most->second)});
    }
    say();
}

// A part of the report on the stopped state: heading, method, and a row per subject it is for.
void part(Screen& screen, const std::vector<Subject>& subjects, const char* name, const std::string& text,
          const std::vector<std::string>& columns, void (*measure)(Screen&, const Subject&), bool wineToo) {
    if (!named("ONLY", name)) return;
    say(text + "\n");
    head(columns);
    for (const Subject& subject : subjects)
        if (subject.viewer && (wineToo || !subject.wine)) measure(screen, subject);
    say();
}

void endAndExit(int signal) {
    if (programGroup > 0) kill(-programGroup, SIGKILL);
    if (serverGroup > 0) kill(-serverGroup, SIGKILL);
    _exit(128 + signal);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) return std::fprintf(stderr, "usage: bench_runner OUTPUT_DIR\n"), 2;
    out = argv[1];
    std::setvbuf(stdout, nullptr, _IOLBF, 0);  // progress as it comes, through a pipe too
    prefix = out + "/wineprefix";
    std::filesystem::create_directories(out + "/logs");
    report.open(out + "/runner.md");
    try {
        Screen screen(out + "/logs/xvfb.log");
        serverGroup = screen.serverPid();
        for (int stop : {SIGINT, SIGTERM, SIGHUP}) std::signal(stop, endAndExit);
        say("Load average at start: " + load() + ".\n");
        const std::vector<Subject> subjects = chosenSubjects();
        if (named("ONLY", "frames")) frames(screen, subjects);
        part(screen, subjects, "idle",
             "## Idle cost of the stopped state\n\nFrom 1 s after a click that stops the drawing.",
             {"subject", "seconds", "frames in the stretch", "CPU ms", "of one core (program + wineserver)",
              "wake-ups/s, all threads", "wake-ups/s, main thread", "all Wine processes"},
             idle, true);
        part(screen, subjects, "keys",
             "## Key delay of the stopped state\n\nFrom the call that sends the key to the program "
             "taking its key-down.",
             {"subject", "keys taken", "median ms", "max ms"}, keys, false);
        part(screen, subjects, "esc",
             "## Esc\n\nEsc to the stopped program: an end by itself within 10 s with exit code 0.",
             {"subject", "exit code 0", "endings"}, escape, false);
        for (const Subject& subject : subjects)
            if (subject.key == "native" && named("ONLY", "spin")) spin(screen, subject);
        say("Load average at end: " + load() + ".");
        return 0;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "bench_runner: %s\n", error.what());
        return 1;
    }
}
