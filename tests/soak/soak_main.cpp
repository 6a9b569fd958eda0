// Soaks the viewer in a real window: random drags, clicks, keys and resize attempts through
// XTest for a given time, then Esc. Samples the program's resident memory once a second.
// Succeeds when the program ends by itself with exit code 0 and its output holds no sanitizer
// report; in runs of three minutes or more, also only when its memory stays flat after the
// warm-up (the first third of the run, at most a minute). Shorter runs report memory only: the
// sanitizer's quarantine and the renderer's buffers swing it by 100 MB from second to second
// until they settle.
//
// Usage: helicoid_soak PROGRAM SECONDS OUTPUT_DIR
#include <X11/keysym.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <fstream>
#include <map>
#include <memory>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "driver/process.h"
#include "driver/x_client.h"
#include "driver/xvfb.h"
#include "scene/viewer_texts.h"

namespace {

using e2e::Millis;

const std::string noticeCaption = usageNoticeCaption;
const std::string windowTitle = viewerWindowTitle;
const Millis timeout{60000};
const long allowedGrowthKb = 4096;  // after the warm-up
const int memoryCheckedFromSeconds = 180;

long residentKb(pid_t pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6));
    return -1;
}

class Soak {
public:
    Soak(e2e::XClient& x, e2e::WindowId window, const e2e::Rect& area) : x_(x), window_(window), area_(area) {}

    // One random action of a person at the window; returns its name for the tally.
    const char* act() {
        switch (below(10)) {
        case 0: case 1: case 2: return drag();
        case 3: return click();
        case 4: case 5: case 6: return key();
        case 7: return resize();
        case 8: return wander();
        default: return drag(true);
        }
    }

private:
    e2e::XClient& x_;
    e2e::WindowId window_;
    e2e::Rect area_;
    std::mt19937 random_{20261206};

    int below(int n) { return int(random_() % unsigned(n)); }
    int insideX() { return area_.x + 5 + below(area_.width - 10); }
    int insideY() { return area_.y + 5 + below(area_.height - 10); }

    // A drag inside the window, or (outside) one that leaves it while the mouse is captured.
    const char* drag(bool outside = false) {
        int x0 = insideX(), y0 = insideY();
        int x1 = outside ? below(x_.screenWidth()) : insideX(), y1 = outside ? below(x_.screenHeight()) : insideY();
        x_.movePointer(x0, y0);
        x_.pressButton();
        x_.movePointerAlong(x0, y0, x1, y1, 2 + below(12), Millis(below(15)));
        if (below(3) == 0) x_.movePointer(x0, y0);  // back to the press point: a click after all
        x_.releaseButton();
        return outside ? "drag outside" : "drag";
    }

    const char* click() {
        x_.movePointer(insideX(), insideY());
        x_.pressButton();
        x_.releaseButton();
        return "click";
    }

    const char* key() {
        static const unsigned long keys[] = {XK_f, XK_p, XK_j, XK_k, XK_F, XK_P, XK_a, XK_z, XK_q, XK_space, XK_Return};
        x_.movePointer(insideX(), insideY());
        x_.typeKey(keys[below(sizeof keys / sizeof keys[0])]);
        return "key";
    }

    const char* resize() {
        x_.resizeWindow(window_, 200 + below(900), 200 + below(700));
        return "resize";
    }

    const char* wander() {
        x_.movePointer(below(x_.screenWidth()), below(x_.screenHeight()));
        return "move";
    }
};

// The median of `count` samples from `first` on.
long median(std::vector<long> samples, size_t first, size_t count) {
    if (samples.empty()) return 0;
    first = std::min(first, samples.size() - 1);
    count = std::min(count, samples.size() - first);
    std::vector<long> part(samples.begin() + first, samples.begin() + first + count);
    std::nth_element(part.begin(), part.begin() + part.size() / 2, part.end());
    return part[part.size() / 2];
}

bool hasSanitizerReport(const std::string& output) {
    for (const char* sign : {"ERROR: AddressSanitizer", "ERROR: LeakSanitizer", "runtime error:"})
        if (output.find(sign) != std::string::npos) return true;
    return false;
}

int soak(const std::string& program, int seconds, const std::string& outputDir) {
    std::unique_ptr<e2e::Xvfb> server = e2e::Xvfb::start("1280x1024x24", outputDir + "/soak-xvfb.log");
    e2e::XClient x(server->display());
    const std::string log = outputDir + "/soak-program.log";
    std::remove(log.c_str());
    e2e::Command command({program});
    command.setEnv = {{"DISPLAY", server->display()}};
    // Libraries to keep loaded in the program until it exits (see CMakeLists.txt).
    if (const char* preload = std::getenv("SOAK_PROGRAM_PRELOAD")) command.setEnv.push_back({"LD_PRELOAD", preload});
    command.unsetEnv = {"WAYLAND_DISPLAY", "SDL_VIDEODRIVER"};
    command.logPath = log;
    e2e::Process viewer = e2e::Process::start(command);

    std::optional<e2e::WindowInfo> notice = x.waitForWindow(noticeCaption, timeout);
    if (!notice) throw std::runtime_error("the notice did not appear");
    x.movePointer(notice->rect.x + notice->rect.width / 2, notice->rect.y + notice->rect.height / 2);
    x.typeKey(XK_Return);
    std::optional<e2e::WindowInfo> window = x.waitForWindow(windowTitle, timeout);
    if (!window) throw std::runtime_error("the window did not appear");

    Soak person(x, window->id, window->rect);
    std::vector<long> resident;  // one sample a second
    std::map<std::string, long> tally;
    const auto start = e2e::Clock::now();
    auto nextSample = start;
    while (e2e::Clock::now() - start < std::chrono::seconds(seconds)) {
        if (!viewer.running()) break;
        ++tally[person.act()];
        if (e2e::Clock::now() >= nextSample) {
            resident.push_back(residentKb(viewer.pid()));
            nextSample += std::chrono::seconds(1);
        }
    }
    x.movePointer(window->rect.x + window->rect.width / 2, window->rect.y + window->rect.height / 2);
    x.typeKey(XK_Escape);
    std::optional<e2e::ExitStatus> status = viewer.waitForExit(timeout);

    std::ifstream in(log);
    std::stringstream text;
    text << in.rdbuf();
    const std::string output = text.str();

    // Memory after the warm-up: the median of the samples just after it against the median of
    // the last ones, so that the allocator's ups and downs from second to second do not count.
    const size_t warm = std::min<size_t>(resident.size() / 3, 60);
    const size_t span = std::max<size_t>(1, std::min<size_t>((resident.size() - warm) / 3, 60));
    const long atWarm = median(resident, warm, span);
    const long atEnd = median(resident, resident.size() - span, span);
    long peak = 0;
    for (long kb : resident) peak = std::max(peak, kb);
    std::FILE* samples = std::fopen((outputDir + "/soak-memory.txt").c_str(), "w");
    for (size_t i = 0; samples != nullptr && i < resident.size(); ++i) std::fprintf(samples, "%zu %ld\n", i, resident[i]);
    if (samples != nullptr) std::fclose(samples);
    std::printf("soak: %d s, %zu memory samples (%s/soak-memory.txt)\n", seconds, resident.size(), outputDir.c_str());
    for (const auto& entry : tally) std::printf("  %-14s %ld\n", entry.first.c_str(), entry.second);
    std::printf("  resident memory: median %ld kB after %zu s, median %ld kB over the last %zu s, peak %ld kB\n",
                atWarm, warm, atEnd, span, peak);
    std::printf("  exit: %s\n", status ? status->describe().c_str() : "did not end");

    bool ok = true;
    if (!status || !status->exited || status->code != 0) ok = false, std::printf("FAIL: the program did not end with 0\n");
    if (hasSanitizerReport(output)) ok = false, std::printf("FAIL: sanitizer report in %s\n", log.c_str());
    if (seconds >= memoryCheckedFromSeconds && atEnd - atWarm > allowedGrowthKb) ok = false, std::printf("FAIL: memory grew by %ld kB after warm-up\n", atEnd - atWarm);
    std::printf("%s\n", ok ? "soak passed" : "soak failed");
    return ok ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: %s PROGRAM SECONDS OUTPUT_DIR\n", argv[0]);
        return 2;
    }
    try {
        return soak(argv[1], std::atoi(argv[2]), argv[3]);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "helicoid_soak: %s\n", error.what());
        return 1;
    }
}
