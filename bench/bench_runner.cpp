// Runs the benchmark programs on an X display and measures them from outside:
//   - frame rate: frames per second of the resting state (which draws continuously), counted by
//     the preloaded swap counter over a fixed wall time after a warm-up, CPU time per frame and
//     page faults per frame from /proc/<pid>/stat, peak resident memory (VmHWM), for each
//     subject in interleaved rounds;
//   - start-up: process start to first buffer swap, less the time the usage notice was on screen;
//   - idle cost: CPU time and wake-ups (voluntary context switches) over a stretch of the
//     stopped state, after a click in the window;
//   - key delay: from a key sent with XTest to the stopped program taking its key-down from SDL;
//   - Esc: the stopped program ended with Esc, many times, each with exit code 0;
//   - long spin: a release-with-motion, then screenshots of the spinning model over time.
// It writes a Markdown report. It only ends processes it started, through the process group each
// of them leads (by its ID); the rest of Wine's processes end with `wineserver -k` for the
// private prefix.
#include "swap_record.h"

#include "driver/image.h"
#include "driver/process.h"
#include "driver/x_client.h"
#include "scene/viewer_texts.h"

#include <X11/keysym.h>
#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <string>
#include <tuple>
#include <vector>

namespace {

// ---- Time ------------------------------------------------------------------------------------

int64_t nowNs() {
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return int64_t(now.tv_sec) * 1000000000 + now.tv_nsec;
}

double seconds(int64_t ns) { return double(ns) / 1e9; }

void sleepSeconds(double s) {
    if (s <= 0) return;
    timespec pause;
    pause.tv_sec = time_t(s);
    pause.tv_nsec = long((s - double(pause.tv_sec)) * 1e9);
    while (nanosleep(&pause, &pause) != 0 && errno == EINTR) {
    }
}

// ---- /proc -----------------------------------------------------------------------------------

const double ticksPerSecond = double(sysconf(_SC_CLK_TCK));

struct ProcSample {
    bool ok = false;
    double cpuSeconds = 0;  // user + system, all threads
    long minorFaults = 0;
};

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// From a stat file of /proc: a process's (all threads) or one thread's (task/<tid>/stat).
ProcSample sampleStat(const std::string& path) {
    ProcSample sample;
    const std::string stat = readFile(path);
    // The command name is in parentheses and may hold blanks: fields are counted after it.
    const size_t close = stat.rfind(')');
    if (close == std::string::npos) return sample;
    std::istringstream fields(stat.substr(close + 2));
    std::vector<std::string> field;
    std::string item;
    while (fields >> item) field.push_back(item);
    // After the name: state(3) ppid pgrp session tty tpgid flags minflt(10) cminflt majflt
    // cmajflt utime(14) stime(15).
    if (field.size() < 13) return sample;
    sample.minorFaults = std::stol(field[10 - 3]);
    sample.cpuSeconds = double(std::stoll(field[14 - 3]) + std::stoll(field[15 - 3])) / ticksPerSecond;
    sample.ok = true;
    return sample;
}

ProcSample sampleProcess(pid_t pid) { return sampleStat("/proc/" + std::to_string(pid) + "/stat"); }

// The thread that entered main() (for Wine: the one that runs WinMain), whose ID is the PID.
ProcSample sampleMainThread(pid_t pid) {
    return sampleStat("/proc/" + std::to_string(pid) + "/task/" + std::to_string(pid) + "/stat");
}

// A number from a status file of /proc (VmHWM in kB, voluntary_ctxt_switches), or -1.
long statusField(const std::string& path, const std::string& name) {
    std::istringstream status(readFile(path));
    std::string line;
    while (std::getline(status, line)) {
        if (line.compare(0, name.size() + 1, name + ":") == 0) return std::stol(line.substr(name.size() + 1));
    }
    return -1;
}

// Over every thread of a process: CPU time in nanoseconds (schedstat, finer than stat's ticks)
// and voluntary context switches, each the end of a sleep; and those of its main thread.
struct ThreadTotals {
    double cpuNs = 0;
    long wakeUps = 0;
    long mainWakeUps = 0;
};

ThreadTotals sampleThreads(pid_t pid) {
    ThreadTotals totals;
    const std::string tasks = "/proc/" + std::to_string(pid) + "/task/";
    DIR* threads = opendir(tasks.c_str());
    if (threads == nullptr) return totals;
    while (dirent* thread = readdir(threads)) {
        if (thread->d_name[0] == '.') continue;
        const long switches = statusField(tasks + thread->d_name + "/status", "voluntary_ctxt_switches");
        totals.wakeUps += switches;
        if (std::to_string(pid) == thread->d_name) totals.mainWakeUps = switches;
        totals.cpuNs += std::atof(readFile(tasks + thread->d_name + "/schedstat").c_str());
    }
    closedir(threads);
    return totals;
}

std::string exeOf(pid_t pid) {
    char target[4096];
    const std::string link = "/proc/" + std::to_string(pid) + "/exe";
    const ssize_t length = readlink(link.c_str(), target, sizeof target - 1);
    if (length <= 0) return "";
    target[length] = '\0';
    return target;
}

// The program a process runs, from its first argument: for Wine's processes the Windows
// program ("explorer.exe"), else the executable's file name.
std::string programName(pid_t pid) {
    std::string first = readFile("/proc/" + std::to_string(pid) + "/cmdline");
    first = first.substr(0, first.find('\0'));
    return first.substr(first.find_last_of("/\\") + 1);
}

// The processes whose environment holds exactly `entry` (e.g. "WINEPREFIX=/path").
std::vector<pid_t> processesWithEnvironment(const std::string& entry) {
    std::vector<pid_t> found;
    DIR* proc = opendir("/proc");
    if (proc == nullptr) return found;
    while (dirent* item = readdir(proc)) {
        char* end = nullptr;
        const long pid = std::strtol(item->d_name, &end, 10);
        if (pid <= 0 || *end != '\0') continue;
        // Entries end with a zero byte; one in front makes every entry start after one too.
        const std::string environ = std::string(1, '\0') + readFile("/proc/" + std::string(item->d_name) + "/environ");
        if (environ.find(std::string(1, '\0') + entry + std::string(1, '\0')) != std::string::npos) found.push_back(pid_t(pid));
    }
    closedir(proc);
    return found;
}

// CPU seconds of a changing set of processes over a stretch of time: processes that appear
// during the stretch count with all their time.
class GroupCpu {
public:
    explicit GroupCpu(std::function<std::vector<pid_t>()> members) : members_(std::move(members)) {}

    void start() {
        startCpu_.clear();
        for (pid_t pid : members_()) {
            const ProcSample sample = sampleProcess(pid);
            if (sample.ok) startCpu_[pid] = sample.cpuSeconds;
        }
    }

    // CPU seconds since start(); `byKind` gets the seconds per executable name.
    double stop(std::map<std::string, double>* byKind = nullptr) {
        double total = 0;
        for (pid_t pid : members_()) {
            const ProcSample sample = sampleProcess(pid);
            if (!sample.ok) continue;
            const auto before = startCpu_.find(pid);
            const double used = sample.cpuSeconds - (before == startCpu_.end() ? 0.0 : before->second);
            total += used;
            if (byKind != nullptr) {
                (*byKind)[programName(pid)] += used;
            }
        }
        return total;
    }

private:
    std::function<std::vector<pid_t>()> members_;
    std::map<pid_t, double> startCpu_;
};

// ---- The swap record -------------------------------------------------------------------------

class SwapFile {
public:
    explicit SwapFile(std::string path) : path_(std::move(path)) {
        const int fd = open(path_.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        if (fd < 0) throw std::runtime_error("cannot create " + path_);
        if (ftruncate(fd, 4096) != 0) {
            close(fd);
            throw std::runtime_error("cannot size " + path_);
        }
        void* mapped = mmap(nullptr, sizeof(SwapRecord), PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
        close(fd);
        if (mapped == MAP_FAILED) throw std::runtime_error("cannot map " + path_);
        record_ = static_cast<SwapRecord*>(mapped);
    }
    ~SwapFile() { munmap(record_, sizeof(SwapRecord)); }
    SwapFile(const SwapFile&) = delete;
    SwapFile& operator=(const SwapFile&) = delete;

    const std::string& path() const { return path_; }
    uint64_t swaps() const { return record_->swaps.load(); }
    int64_t firstSwapNs() const { return record_->firstSwapNs.load(); }
    uint64_t keyDowns() const { return record_->keyDowns.load(); }
    int64_t lastKeyDownNs() const { return record_->lastKeyDownNs.load(); }

private:
    std::string path_;
    SwapRecord* record_ = nullptr;
};

// ---- Child processes -------------------------------------------------------------------------

// The process groups of the children still running, ended if the runner itself is stopped.
std::vector<pid_t>& liveGroups() {
    static std::vector<pid_t> groups;
    return groups;
}

void endChildrenAndExit(int signalNumber) {
    for (pid_t group : liveGroups()) kill(-group, SIGKILL);
    _exit(128 + signalNumber);
}

// A started program with the time it was started. It leads its own process group (SDL, for one,
// shows message boxes from a forked child); ending it ends the group, by its ID.
class Child {
public:
    explicit Child(const e2e::Command& command) : startNs_(nowNs()), process_(e2e::Process::start(command)) {
        liveGroups().push_back(process_.pid());
    }
    ~Child() { end(); }
    Child(const Child&) = delete;
    Child& operator=(const Child&) = delete;

    pid_t pid() const { return process_.pid(); }
    int64_t startNs() const { return startNs_; }
    bool running() { return process_.running(); }
    std::optional<e2e::ExitStatus> waitForExit(double s) { return process_.waitForExit(e2e::Millis(int64_t(s * 1000))); }

    // SIGTERM to the group, then SIGKILL if it is still there after a while.
    void end() {
        if (!process_.valid()) return;
        liveGroups().erase(std::remove(liveGroups().begin(), liveGroups().end(), process_.pid()), liveGroups().end());
        process_.terminate(e2e::Millis(5000));
        process_ = e2e::Process();
    }

private:
    int64_t startNs_;
    e2e::Process process_;
};

// ---- Subjects --------------------------------------------------------------------------------

struct Settings {
    std::string display;
    std::string workDir;
    std::string counter;
    std::string native;
    std::string glx;
    std::string wine;
    std::string winePrefix;
    std::string wineExe;
    std::string wglExe;
    std::string tunedEnv;  // GLIBC_TUNABLES value for the allocator experiment; empty: no experiment
    std::string nativePatched;  // the native build with a change under test; empty: none
    int xServer = -1;  // its PID
    int rounds = 5;
    double warmup = 3;
    double measure = 10;
    double idle = 10;
    double spin = 30;
    int keys = 50;
    int escRuns = 100;
    std::string only;  // comma-separated parts to run; empty: all
    std::string subjects;  // comma-separated subject keys to run; empty: all there are
};

struct Subject {
    std::string key;    // short name
    std::string label;  // for the table
    e2e::Command command;
    bool notice = false;  // starts with the usage notice
    bool wine = false;
};

const char* const noticeCaption = usageNoticeCaption;
const char* const viewerTitle = viewerWindowTitle;

Subject makeSubject(const Settings& settings, const std::string& key) {
    Subject subject;
    subject.key = key;
    std::vector<std::pair<std::string, std::string>> env = {{"DISPLAY", settings.display}};
    if (key == "native-patched") {
        subject.label = "native with a change under test (NATIVE_PATCHED)";
        subject.command.argv = {settings.nativePatched};
        subject.notice = true;
    } else if (key == "native" || key == "native-tuned") {
        subject.label = key == "native" ? "native (linux build)" : "native, allocator tuned (GLIBC_TUNABLES)";
        subject.command.argv = {settings.native};
        subject.notice = true;
        if (key == "native-tuned") env.emplace_back("GLIBC_TUNABLES", settings.tunedEnv);
    } else if (key == "glx") {
        subject.label = "bare GLX loop";
        subject.command.argv = {settings.glx};
    } else {
        subject.wine = true;
        subject.notice = key == "wine";
        subject.label = key == "wine" ? "windows-x64 build, wine64" : "bare WGL loop, wine64";
        subject.command.argv = {settings.wine, key == "wine" ? settings.wineExe : settings.wglExe};
        env.emplace_back("WINEPREFIX", settings.winePrefix);
        env.emplace_back("WINEDEBUG", "-all");
        env.emplace_back("WINEDLLOVERRIDES", "mscoree,mshtml=");
        env.emplace_back("WINEARCH", "win64");
    }
    env.emplace_back("LD_PRELOAD", settings.counter);
    subject.command.setEnv = env;
    subject.command.logPath = settings.workDir + "/logs/" + key + ".log";
    return subject;
}

// One started subject: its process, its swap record and what the start-up looked like.
class Run {
public:
    Run(const Settings& settings, const Subject& subject, e2e::XClient& x)
        : subject_(subject), x_(x), swaps_(settings.workDir + "/swaps-" + subject.key),
          winePrefixEntry_("WINEPREFIX=" + settings.winePrefix) {
        e2e::Command command = subject.command;
        command.setEnv.emplace_back(SWAP_COUNTER_ENV, swaps_.path());
        x_.waitForMapping(e2e::Millis(0));  // drop old events
        child_ = std::make_unique<Child>(command);
    }

    const Subject& subject() const { return subject_; }
    pid_t pid() const { return child_->pid(); }
    SwapFile& swaps() { return swaps_; }

    // Answers the notice if there is one and waits for the first swap. Returns false on timeout.
    bool waitForFirstFrame(double timeout) {
        const int64_t deadline = nowNs() + int64_t(timeout * 1e9);
        const int64_t keyWait = 300000000, searchInterval = 100000000;
        int64_t lastKey = 0, lastSearch = 0;
        while (swaps_.swaps() == 0) {
            if (nowNs() > deadline || !child_->running()) return false;
            const bool mapped = x_.waitForMapping(e2e::Millis(5));
            if (!subject_.notice) continue;
            // Look when a top-level window was mapped (the notice, natively), else now and then
            // (under Wine the notice is a window inside the desktop window); after a Return,
            // give it time to take effect.
            const int64_t now = nowNs();
            if (!mapped && now - lastSearch < searchInterval) continue;
            if (noticeShownNs_ != 0 && now - lastKey < keyWait) continue;
            lastSearch = now;
            const std::vector<e2e::WindowInfo> notices = x_.findWindows(noticeCaption);
            if (notices.empty()) continue;
            const e2e::Rect& notice = notices.front().rect;
            if (noticeShownNs_ == 0) noticeShownNs_ = now;
            // Return with the pointer over the box; again after a while if the box is still up.
            x_.movePointer(notice.x + notice.width / 2, notice.y + notice.height / 2);
            x_.focusUnderPointer();
            x_.typeKey(XK_Return);
            lastKey = nowNs();
            noticeAnsweredNs_ = lastKey;
        }
        return true;
    }

    // Start-up in seconds: process start to first swap, less the notice's time on screen (from
    // the moment it was seen mapped to the Return that dismissed it).
    double startup() const {
        const double total = seconds(swaps_.firstSwapNs() - child_->startNs());
        if (noticeShownNs_ == 0) return total;
        return total - seconds(noticeAnsweredNs_ - noticeShownNs_);
    }
    double toNotice() const { return noticeShownNs_ == 0 ? 0 : seconds(noticeShownNs_ - child_->startNs()); }

    // The program's own process, and for Wine also everything else running in its prefix.
    std::vector<pid_t> processGroup() const {
        if (!subject_.wine) return {child_->pid()};
        std::vector<pid_t> group = processesWithEnvironment(winePrefixEntry_);
        if (std::find(group.begin(), group.end(), child_->pid()) == group.end()) group.push_back(child_->pid());
        return group;
    }

    void end() { child_->end(); }
    std::optional<e2e::ExitStatus> waitForExit(double s) { return child_->waitForExit(s); }

private:
    Subject subject_;
    e2e::XClient& x_;
    SwapFile swaps_;
    std::string winePrefixEntry_;
    std::unique_ptr<Child> child_;
    int64_t noticeShownNs_ = 0;
    int64_t noticeAnsweredNs_ = 0;
};

// ---- Statistics and output -------------------------------------------------------------------

double median(std::vector<double> values) {
    if (values.empty()) return NAN;
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

std::string fixed(double value, int decimals) {
    if (std::isnan(value)) return "n/a";
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    return text;
}

std::string list(const std::vector<double>& values, int decimals) {
    std::string text;
    for (double value : values) text += (text.empty() ? "" : ", ") + fixed(value, decimals);
    return text;
}

std::string loadAverage() {
    std::istringstream load(readFile("/proc/loadavg"));
    std::string one, five, fifteen;
    load >> one >> five >> fifteen;
    return one + " " + five + " " + fifteen;
}

struct FrameResult {
    std::vector<double> fps, cpuMsPerFrame, mainMsPerFrame, faultsPerFrame, xServerMsPerFrame, wineServerMsPerFrame, startup,
        toNotice;
    std::vector<double> peakRssMb;
    std::vector<int> round;  // the round of each run, for the ratios within a round
};

class Report {
public:
    void line(const std::string& text = "") {
        text_ += text + "\n";
        std::printf("%s\n", text.c_str());
        std::fflush(stdout);
    }
    const std::string& text() const { return text_; }

private:
    std::string text_;
};

// ---- The measurements ------------------------------------------------------------------------

bool wanted(const Settings& settings, const std::string& part) {
    if (settings.only.empty()) return true;
    return ("," + settings.only + ",").find("," + part + ",") != std::string::npos;
}

void stopWine(const Settings& settings) {
    // Wine's own way to end every process of our private prefix (run.sh's prefix, nobody else's).
    e2e::Command kill({settings.wine.substr(0, settings.wine.rfind('/') + 1) + "wineserver64", "-k"});
    kill.setEnv = {{"WINEPREFIX", settings.winePrefix}};
    kill.logPath = settings.workDir + "/logs/wineserver-k.log";
    e2e::runToCompletion(kill, e2e::Millis(10000));
}

std::vector<pid_t> wineServers(const Settings& settings) {
    std::vector<pid_t> servers;
    for (pid_t pid : processesWithEnvironment("WINEPREFIX=" + settings.winePrefix))
        if (exeOf(pid).find("wineserver") != std::string::npos) servers.push_back(pid);
    return servers;
}

void measureFrames(const Settings& settings, const std::vector<Subject>& subjects, e2e::XClient& x, Report& report) {
    std::map<std::string, FrameResult> results;
    for (int round = 1; round <= settings.rounds; ++round) {
        std::printf("-- round %d of %d (load %s)\n", round, settings.rounds, loadAverage().c_str());
        for (const Subject& subject : subjects) {
            // The X server takes a moment to clear up after a client has gone; a program that
            // connects within it waits up to 25 ms for its connection, which start-up would count.
            sleepSeconds(1);
            Run run(settings, subject, x);
            if (!run.waitForFirstFrame(120)) {
                std::printf("   %-44s no frame (see %s)\n", subject.label.c_str(), subject.command.logPath.c_str());
                run.end();
                if (subject.wine) stopWine(settings);
                continue;
            }
            FrameResult& result = results[subject.key];
            result.startup.push_back(run.startup());
            result.toNotice.push_back(run.toNotice());
            sleepSeconds(settings.warmup);

            GroupCpu server([&] { return wineServers(settings); });
            server.start();
            const ProcSample before = sampleProcess(run.pid());
            const ProcSample mainBefore = sampleMainThread(run.pid());
            const ProcSample xBefore = sampleProcess(settings.xServer);
            const uint64_t swapsBefore = run.swaps().swaps();
            const int64_t t0 = nowNs();
            sleepSeconds(settings.measure);
            const uint64_t swapsAfter = run.swaps().swaps();
            const int64_t t1 = nowNs();
            const ProcSample after = sampleProcess(run.pid());
            const ProcSample mainAfter = sampleMainThread(run.pid());
            const ProcSample xAfter = sampleProcess(settings.xServer);
            const double serverSeconds = server.stop();
            const long peakKb = statusField("/proc/" + std::to_string(run.pid()) + "/status", "VmHWM");

            const double frames = double(swapsAfter - swapsBefore);
            result.fps.push_back(frames / seconds(t1 - t0));
            result.round.push_back(round);
            if (frames > 0) {
                result.cpuMsPerFrame.push_back((after.cpuSeconds - before.cpuSeconds) * 1000 / frames);
                result.mainMsPerFrame.push_back((mainAfter.cpuSeconds - mainBefore.cpuSeconds) * 1000 / frames);
                result.faultsPerFrame.push_back(double(after.minorFaults - before.minorFaults) / frames);
                if (xBefore.ok) result.xServerMsPerFrame.push_back((xAfter.cpuSeconds - xBefore.cpuSeconds) * 1000 / frames);
                if (subject.wine) result.wineServerMsPerFrame.push_back(serverSeconds * 1000 / frames);
            }
            result.peakRssMb.push_back(double(peakKb) / 1024);
            std::printf("   %-44s %7.1f fps  %6.2f CPU ms/frame  %7.1f faults/frame  start-up %.3f s\n",
                        subject.label.c_str(), result.fps.back(),
                        result.cpuMsPerFrame.empty() ? NAN : result.cpuMsPerFrame.back(),
                        result.faultsPerFrame.empty() ? NAN : result.faultsPerFrame.back(), result.startup.back());
            std::fflush(stdout);
            run.end();
        }
    }
    if (std::any_of(subjects.begin(), subjects.end(), [](const Subject& s) { return s.wine; })) stopWine(settings);

    report.line("## Frame rate of the resting state");
    report.line();
    report.line("Median of " + std::to_string(settings.rounds) + " interleaved rounds; each run: " +
                fixed(settings.warmup, 0) + " s warm-up after the first frame, then " + fixed(settings.measure, 0) +
                " s counted. CPU is the program's process (all threads); the X server's and, under Wine, the "
                "wineserver's CPU per frame are shown apart.");
    report.line();
    report.line("| subject | fps (median) | fps per round | CPU ms/frame | of which main thread | faults/frame | X server ms/frame | "
                "wineserver ms/frame | peak RSS MB |");
    report.line("|---|---:|---|---:|---:|---:|---:|---:|---:|");
    for (const Subject& subject : subjects) {
        const FrameResult& r = results[subject.key];
        report.line("| " + subject.label + " | " + fixed(median(r.fps), 1) + " | " + list(r.fps, 1) + " | " +
                    fixed(median(r.cpuMsPerFrame), 2) + " | " + fixed(median(r.mainMsPerFrame), 2) + " | " +
                    fixed(median(r.faultsPerFrame), 1) + " | " +
                    fixed(median(r.xServerMsPerFrame), 2) + " | " +
                    (subject.wine ? fixed(median(r.wineServerMsPerFrame), 3) : std::string("-")) + " | " +
                    fixed(median(r.peakRssMb), 1) + " |");
    }
    report.line();

    // Ratio of the medians, and the median of the ratios within each round (the two runs of a
    // round are close in time, so this one is less exposed to changes in the machine's load).
    auto ratio = [&](const std::string& a, const std::string& b) -> double {
        if (!results.count(a) || !results.count(b)) return NAN;
        return median(results[a].fps) / median(results[b].fps);
    };
    auto roundRatio = [&](const std::string& a, const std::string& b) -> double {
        if (!results.count(a) || !results.count(b)) return NAN;
        std::vector<double> ratios;
        const FrameResult& ra = results[a];
        const FrameResult& rb = results[b];
        for (size_t i = 0; i < ra.fps.size(); ++i)
            for (size_t j = 0; j < rb.fps.size(); ++j)
                if (ra.round[i] == rb.round[j] && rb.fps[j] > 0) ratios.push_back(ra.fps[i] / rb.fps[j]);
        return median(ratios);
    };
    auto ratioLine = [&](const std::string& label, const std::string& a, const std::string& b,
                         const std::string& target) {
        if (!results.count(a) || !results.count(b)) return;
        report.line("| " + label + " | " + fixed(ratio(a, b), 3) + " | " + fixed(roundRatio(a, b), 3) + " | " + target +
                    " |");
    };
    report.line("| ratio | of the medians | median of the rounds' ratios | target |");
    report.line("|---|---:|---:|---:|");
    ratioLine("native / bare GLX", "native", "glx", ">= 1.20");
    ratioLine("native with allocator tuning / bare GLX", "native-tuned", "glx", "(experiment)");
    ratioLine("native with the change under test / bare GLX", "native-patched", "glx", "(experiment)");
    ratioLine("windows-x64 build under wine64 / bare WGL loop", "wine", "wgl", ">= 0.97");
    report.line();

    report.line("## Start-up");
    report.line();
    report.line("Process start (fork) to the return of the first buffer swap, less the usage notice's time on "
                "screen (from the moment the runner saw it mapped to the Return that dismissed it, sent at once). "
                "Median of the frame-rate runs.");
    report.line();
    report.line("| subject | start-up s (median) | per run | of which: start to notice shown |");
    report.line("|---|---:|---|---:|");
    for (const Subject& subject : subjects) {
        if (subject.wine) continue;
        const FrameResult& r = results[subject.key];
        report.line("| " + subject.label + " | " + fixed(median(r.startup), 3) + " | " + list(r.startup, 3) + " | " +
                    (subject.notice ? fixed(median(r.toNotice), 3) : std::string("-")) + " |");
    }
    if (results.count("native") && results.count("glx"))
        report.line("\nnative / bare GLX start-up: " +
                    fixed(median(results["native"].startup) / median(results["glx"].startup), 3) +
                    " (target <= 1.2)");
    report.line();
}

// A click (press and release at one pixel) in the middle of the viewer's window, which stops
// the drawing; the pointer stays there, and the keyboard focus goes to the window under it.
void clickToStop(const Subject& subject, e2e::XClient& x) {
    const std::vector<e2e::WindowInfo> windows = subject.wine ? std::vector<e2e::WindowInfo>{} : x.findWindows(viewerTitle);
    const int cx = windows.empty() ? 50 + 819 / 2 : windows.front().rect.x + windows.front().rect.width / 2;
    const int cy = windows.empty() ? 50 + 819 / 2 : windows.front().rect.y + windows.front().rect.height / 2;
    x.movePointer(cx, cy);
    x.focusUnderPointer();
    sleepSeconds(0.2);
    x.pressButton();
    x.releaseButton();
}

void measureIdle(const Settings& settings, const Subject& subject, e2e::XClient& x, Report& report) {
    Run run(settings, subject, x);
    if (!run.waitForFirstFrame(120)) {
        report.line("| " + subject.label + " | no frame | | | | | |");
        run.end();
        return;
    }
    sleepSeconds(2);
    clickToStop(subject, x);
    sleepSeconds(1);

    const uint64_t swapsBefore = run.swaps().swaps();
    GroupCpu servers([&] { return wineServers(settings); });
    GroupCpu everything([&] { return run.processGroup(); });
    servers.start();
    everything.start();
    const ThreadTotals before = sampleThreads(run.pid());
    const int64_t t0 = nowNs();
    sleepSeconds(settings.idle);
    const double wall = seconds(nowNs() - t0);
    const ThreadTotals after = sampleThreads(run.pid());
    const double programMs = (after.cpuNs - before.cpuNs) / 1e6;
    const double serverMs = servers.stop() * 1000;
    std::map<std::string, double> byKind;
    const double allCpu = everything.stop(&byKind);
    const uint64_t frames = run.swaps().swaps() - swapsBefore;

    std::string detail;
    for (const auto& [name, cpu] : byKind)
        if (cpu > 0) detail += (detail.empty() ? "" : ", ") + name + " " + fixed(cpu * 1000, 0) + " ms";
    report.line("| " + subject.label + " | " + fixed(wall, 1) + " | " + std::to_string(frames) + " | " +
                fixed(programMs, 1) + (subject.wine ? " + wineserver " + fixed(serverMs, 0) : "") + " | " +
                fixed((programMs + serverMs) / wall / 10, 3) + " % | " + fixed((after.wakeUps - before.wakeUps) / wall, 1) +
                " | " + fixed((after.mainWakeUps - before.mainWakeUps) / wall, 1) + " | " +
                (subject.wine ? fixed(100 * allCpu / wall, 2) + " % (" + detail + ")" : std::string("-")) + " |");
    run.end();
    if (subject.wine) stopWine(settings);
}

// Keys sent with XTest to the stopped program, one at a time; for each, the time from sending it
// to the program taking its key-down from SDL (stamped by the preloaded counter).
void measureKeyDelay(const Settings& settings, const Subject& subject, e2e::XClient& x, Report& report) {
    Run run(settings, subject, x);
    if (!run.waitForFirstFrame(120)) {
        report.line("| " + subject.label + " | no frame | | | |");
        run.end();
        return;
    }
    sleepSeconds(1);
    clickToStop(subject, x);
    sleepSeconds(1);
    std::vector<double> delaysMs;
    for (int key = 0; key < settings.keys; ++key) {
        const uint64_t taken = run.swaps().keyDowns();
        const int64_t sent = nowNs();
        x.typeKey(XK_x);  // a key without a command
        while (run.swaps().keyDowns() == taken && nowNs() - sent < 1000000000) sleepSeconds(0.0002);
        if (run.swaps().keyDowns() != taken) delaysMs.push_back(double(run.swaps().lastKeyDownNs() - sent) / 1e6);
        sleepSeconds(0.137);  // out of step with a 100 ms timer
    }
    run.end();
    const double slowest = delaysMs.empty() ? NAN : *std::max_element(delaysMs.begin(), delaysMs.end());
    report.line("| " + subject.label + " | " + std::to_string(delaysMs.size()) + " of " + std::to_string(settings.keys) +
                " | " + fixed(median(delaysMs), 2) + " | " + fixed(slowest, 2) + " |");
}

// Runs the program again and again: first frame, a click to stop it, Esc; counts the runs that
// end by themselves with exit code 0.
void measureEscape(const Settings& settings, const Subject& subject, e2e::XClient& x, Report& report) {
    int clean = 0;
    std::map<std::string, int> failures;
    for (int attempt = 0; attempt < settings.escRuns; ++attempt) {
        Run run(settings, subject, x);
        std::optional<e2e::ExitStatus> status;
        if (run.waitForFirstFrame(120)) {
            clickToStop(subject, x);
            sleepSeconds(0.3);
            x.typeKey(XK_Escape);
            status = run.waitForExit(10);
        }
        if (status && status->exited && status->code == 0) ++clean;
        else ++failures[status ? status->describe() : "no frame, or still running 10 s after Esc"];
        run.end();
    }
    std::string detail;
    for (const auto& [what, count] : failures) detail += (detail.empty() ? "" : ", ") + what + ": " + std::to_string(count);
    report.line("| " + subject.label + " | " + std::to_string(clean) + " of " + std::to_string(settings.escRuns) + " | " +
                (detail.empty() ? "-" : detail) + " |");
}

struct Shape {
    double maxRadius = 0;  // farthest model pixel from the window's centre
    long pixels = 0;       // pixels that are not the background
};

Shape shapeOf(const e2e::Image& picture, e2e::Rgb background) {
    Shape shape;
    const double cx = (picture.width() - 1) / 2.0, cy = (picture.height() - 1) / 2.0;
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x) {
            if (picture.at(x, y).near(background, 3)) continue;
            ++shape.pixels;
            shape.maxRadius = std::max(shape.maxRadius, std::hypot(x - cx, y - cy));
        }
    }
    return shape;
}

void measureSpin(const Settings& settings, const Subject& subject, e2e::XClient& x, Report& report) {
    Run run(settings, subject, x);
    if (!run.waitForFirstFrame(120)) {
        report.line("The native build showed no frame; no spin measured.");
        run.end();
        return;
    }
    sleepSeconds(1);
    const std::vector<e2e::WindowInfo> windows = x.findWindows(viewerTitle);
    if (windows.empty()) {
        report.line("The viewer's window was not found; no spin measured.");
        run.end();
        return;
    }
    const e2e::Rect area = windows.front().rect;
    const int cx = area.x + area.width / 2, cy = area.y + area.height / 2;

    // The picture at rest, before any drag: the reference size.
    const e2e::Rgb background = x.grab({area.x + 3, area.y + 3, 1, 1}).at(0, 0);
    const Shape rest = shapeOf(x.grab(area), background);

    // A release with motion: press, move right in steps, release there; the model keeps spinning.
    x.movePointer(cx, cy);
    sleepSeconds(0.2);
    x.pressButton();
    for (int step = 1; step <= 6; ++step) {
        x.movePointer(cx + 10 * step, cy + 3 * step);
        sleepSeconds(0.03);
    }
    x.releaseButton();
    sleepSeconds(0.5);
    x.movePointer(area.x + area.width + 20, cy);  // out of the picture

    const uint64_t swapsStart = run.swaps().swaps();
    const int64_t t0 = nowNs();
    std::vector<Shape> samples;
    e2e::Image previous;
    int unchanged = 0;
    while (nowNs() - t0 < int64_t(settings.spin * 1e9)) {
        e2e::Image picture = x.grab(area);
        if (picture == previous) ++unchanged;
        samples.push_back(shapeOf(picture, background));
        previous = std::move(picture);
        sleepSeconds(0.2);
    }
    const uint64_t frames = run.swaps().swaps() - swapsStart;
    run.end();

    const size_t block = std::max<size_t>(1, samples.size() / 5);
    auto blockMax = [&](size_t from) {
        double radius = 0;
        long most = 0, least = -1;
        for (size_t i = from; i < std::min(samples.size(), from + block); ++i) {
            radius = std::max(radius, samples[i].maxRadius);
            most = std::max(most, samples[i].pixels);
            least = least < 0 ? samples[i].pixels : std::min(least, samples[i].pixels);
        }
        return std::make_tuple(radius, least, most);
    };
    report.line("## Long spin (native build)");
    report.line();
    report.line("A drag with a release away from the press point, then " + fixed(settings.spin, 0) + " s of spin: " +
                std::to_string(frames) + " frames (" + fixed(double(frames) / settings.spin, 1) + " fps), " +
                std::to_string(samples.size()) + " screenshots of the " + std::to_string(area.width) + "x" +
                std::to_string(area.height) + " window, " + std::to_string(unchanged) +
                " of them equal to the one before. Model pixels are those that differ from the background; the "
                "radius is the farthest model pixel from the window's centre, the turning point.");
    report.line();
    report.line("At rest before the drag: radius " + fixed(rest.maxRadius, 1) + " px, " + std::to_string(rest.pixels) +
                " model pixels.");
    report.line();
    report.line("| screenshots | largest radius px | model pixels, min..max |");
    report.line("|---|---:|---|");
    for (size_t from = 0; from < samples.size(); from += block) {
        const auto [radius, least, most] = blockMax(from);
        report.line("| " + std::to_string(from + 1) + "-" + std::to_string(std::min(samples.size(), from + block)) +
                    " | " + fixed(radius, 1) + " | " + std::to_string(least) + ".." + std::to_string(most) + " |");
    }
    report.line();
}

std::string argument(int& i, int argc, char** argv) {
    if (i + 1 >= argc) throw std::runtime_error(std::string("missing value after ") + argv[i]);
    return argv[++i];
}

}  // namespace

int main(int argc, char** argv) {
    try {
        Settings settings;
        const std::map<std::string, std::string*> texts = {
            {"--display", &settings.display}, {"--work", &settings.workDir}, {"--counter", &settings.counter},
            {"--native", &settings.native}, {"--glx", &settings.glx}, {"--wine", &settings.wine},
            {"--wine-prefix", &settings.winePrefix}, {"--wine-exe", &settings.wineExe}, {"--wgl-exe", &settings.wglExe},
            {"--tuned", &settings.tunedEnv}, {"--native-patched", &settings.nativePatched}, {"--only", &settings.only},
            {"--subjects", &settings.subjects}};
        const std::map<std::string, double*> lengths = {{"--warmup", &settings.warmup}, {"--measure", &settings.measure},
                                                        {"--idle", &settings.idle}, {"--spin", &settings.spin}};
        const std::map<std::string, int*> counts = {{"--x-server-pid", &settings.xServer}, {"--rounds", &settings.rounds},
                                                    {"--keys", &settings.keys}, {"--esc-runs", &settings.escRuns}};
        for (int i = 1; i < argc; ++i) {
            const std::string option = argv[i];
            if (texts.count(option)) *texts.at(option) = argument(i, argc, argv);
            else if (lengths.count(option)) *lengths.at(option) = std::stod(argument(i, argc, argv));
            else if (counts.count(option)) *counts.at(option) = std::stoi(argument(i, argc, argv));
            else throw std::runtime_error("unknown option " + option);
        }
        if (settings.display.empty() || settings.workDir.empty() || settings.counter.empty())
            throw std::runtime_error("usage: bench_runner --display :N --work DIR --counter libswap_counter.so "
                                     "[--native PATH] [--glx PATH] [--wine wine64 --wine-prefix DIR --wine-exe EXE "
                                     "--wgl-exe EXE] [--tuned TUNABLES] [--native-patched PATH] [--x-server-pid PID] [--rounds N] "
                                     "[--warmup S] [--measure S] [--idle S] [--spin S] [--keys N] [--esc-runs N] "
                                     "[--only frames,idle,keys,esc,spin]");
        mkdir((settings.workDir + "/logs").c_str(), 0755);
        signal(SIGPIPE, SIG_IGN);
        signal(SIGINT, endChildrenAndExit);
        signal(SIGTERM, endChildrenAndExit);
        signal(SIGHUP, endChildrenAndExit);

        auto exists = [](const std::string& path) { return !path.empty() && access(path.c_str(), F_OK) == 0; };
        std::vector<Subject> subjects;
        std::string missing;
        if (exists(settings.native)) subjects.push_back(makeSubject(settings, "native"));
        else missing += " native build (" + settings.native + ");";
        if (exists(settings.native) && !settings.tunedEnv.empty())
            subjects.push_back(makeSubject(settings, "native-tuned"));
        if (exists(settings.nativePatched)) subjects.push_back(makeSubject(settings, "native-patched"));
        if (exists(settings.glx)) subjects.push_back(makeSubject(settings, "glx"));
        else missing += " GLX loop;";
        const bool haveWine = exists(settings.wine) && !settings.winePrefix.empty();
        if (haveWine && exists(settings.wineExe)) subjects.push_back(makeSubject(settings, "wine"));
        else missing += " windows-x64 build (" + settings.wineExe + ");";
        if (haveWine && exists(settings.wglExe)) subjects.push_back(makeSubject(settings, "wgl"));
        else missing += " WGL loop;";

        if (!settings.subjects.empty()) {
            const std::string keys = "," + settings.subjects + ",";
            subjects.erase(std::remove_if(subjects.begin(), subjects.end(),
                                          [&](const Subject& s) { return keys.find("," + s.key + ",") == std::string::npos; }),
                           subjects.end());
        }
        e2e::XClient x(settings.display);
        Report report;
        report.line("Load average at start: " + loadAverage() + ".");
        if (!missing.empty()) report.line("Not measured, missing:" + missing);
        report.line();

        if (wanted(settings, "frames")) measureFrames(settings, subjects, x, report);

        const auto table = [&](const std::string& part, const std::string& text, const std::string& head,
                               auto measure, auto chosen) {
            if (!wanted(settings, part)) return;
            report.line(text);
            report.line();
            report.line(head);
            std::string rule = "|";
            for (long column = std::count(head.begin(), head.end(), '|'); column > 1; --column) rule += "---|";
            report.line(rule);
            for (const Subject& subject : subjects)
                if (chosen(subject)) measure(settings, subject, x, report);
            report.line();
        };
        const auto native = [](const Subject& s) { return s.key == "native" || s.key == "native-patched"; };
        table("idle",
              "## Idle cost of the stopped state\n\nAfter the first frame and 2 s of drawing, a click (press and "
              "release at one pixel) in the window stops the drawing; after 1 s the CPU time and the voluntary "
              "context switches (wake-ups) are taken over the stretch below.",
              "| subject | seconds | frames in the stretch | CPU ms | of one core (program + wineserver) | wake-ups/s, "
              "all threads | wake-ups/s, main thread | all Wine processes |",
              measureIdle, [&](const Subject& s) { return native(s) || s.key == "wine"; });
        table("keys",
              "## Key delay of the stopped state\n\nA key every 0.14 s, sent with XTest; the delay is from sending "
              "it to the program taking its key-down from SDL (SDL_PollEvent, stamped by the preloaded counter).",
              "| subject | keys taken | median ms | max ms |", measureKeyDelay, native);
        table("esc",
              "## Esc\n\nEach run: first frame, a click to stop the drawing, Esc 0.3 s later; the process must end "
              "by itself within 10 s with exit code 0.",
              "| subject | exit code 0 | other endings |", measureEscape, native);

        if (wanted(settings, "spin")) {
            for (const Subject& subject : subjects)
                if (subject.key == "native") measureSpin(settings, subject, x, report);
        }
        report.line("Load average at end: " + loadAverage() + ".");

        std::ofstream(settings.workDir + "/runner.md") << report.text();
        return 0;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "bench_runner: %s\n", error.what());
        return 1;
    }
}
