// A soak of the sanitized program in a real window: random drags (in and out of the window),
// clicks, keys and resize requests for a given time, then Esc. It passes when the program ends
// by itself with exit code 0 and its output holds no sanitizer report. Resident memory is sampled
// once a second into OUTPUT_DIR/memory.txt for bench/soak.sh's long runs.
// Usage: helicoid_soak PROGRAM SECONDS OUTPUT_DIR
#include "scene/viewer_texts.h"
#include "tests/e2e/driver.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <random>

using namespace e2e;

int main(int argc, char** argv) {
    if (argc != 4) return std::fprintf(stderr, "usage: %s PROGRAM SECONDS OUTPUT_DIR\n", argv[0]), 2;
    const std::string out = argv[3];
    Screen screen(out + "/xvfb.log");
    // Libraries to keep loaded in the program until it exits (see CMakeLists.txt).
    const char* preload = std::getenv("SOAK_PROGRAM_PRELOAD");
    Program program({argv[1]}, {"DISPLAY=" + screen.display(), std::string("LD_PRELOAD=") + (preload ? preload : "")}, out + "/program.log");
    if (!screen.dismiss(usageNoticeCaption, Millis(60000))) return std::puts("FAIL: no notice"), 1;
    const std::optional<Window> window = screen.waitForWindow(viewerWindowTitle, Millis(60000));
    if (!window) return std::puts("FAIL: no window"), 1;
    std::mt19937 pick(7);
    auto below = [&](int n) { return int(pick() % unsigned(n)); };
    std::ofstream memory(out + "/memory.txt");
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(std::atoi(argv[2]));
    for (auto sample = std::chrono::steady_clock::now(); std::chrono::steady_clock::now() < end;) {
        const Rect r = screen.rect(*window).value_or(Rect{50, 50, 819, 819});
        screen.move(r.x + below(r.width), r.y + below(r.height));
        switch (below(5)) {
        case 0: screen.press(), screen.release(); break;
        case 1: screen.key(below(2) ? "f" : below(2) ? "p" : "F j k P"); break;
        case 2: screen.resize(*window, 300 + below(900), 300 + below(700)); break;
        default: screen.press(), screen.dragTo(below(1280), below(1024), 4), screen.release();  // out of the window too
        }
        if (std::chrono::steady_clock::now() > sample) {
            std::ifstream status("/proc/" + std::to_string(program.pid()) + "/status");
            for (std::string line; std::getline(status, line);)
                if (line.rfind("VmRSS:", 0) == 0) memory << line.substr(6) << '\n' << std::flush;
            sample += std::chrono::seconds(1);
        }
    }
    const Rect r = screen.rect(*window).value_or(Rect{50, 50, 819, 819});
    screen.move(r.x + 10, r.y + 10);
    screen.key("Escape");
    const std::optional<int> code = program.waitForExit(Millis(60000));
    const bool reported = program.output().find("Sanitizer") != std::string::npos;
    std::printf("soak: %s s, exit code %d%s\n", argv[2], code.value_or(-1), reported ? ", sanitizer report in program.log" : "");
    return code == 0 && !reported ? 0 : 1;
}
