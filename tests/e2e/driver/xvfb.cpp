// Xvfb with -displayfd: the server writes the display number it chose once it is ready.
#include "driver/xvfb.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>

namespace e2e {

std::unique_ptr<Xvfb> Xvfb::start(const std::string& screen, const std::string& logPath, Millis timeout) {
    int ready[2];
    if (pipe2(ready, O_CLOEXEC) != 0)
        throw std::runtime_error(std::string("pipe2: ") + std::strerror(errno));

    Command command;
    command.argv = {"/usr/bin/Xvfb", "-displayfd", std::to_string(ready[1]), "-screen", "0", screen, "-nolisten",
                    "tcp",           "-noreset"};
    command.logPath = logPath;
    command.inheritFd = ready[1];
    Process process;
    try {
        process = Process::start(command);
    } catch (...) {
        close(ready[0]);
        close(ready[1]);
        throw;
    }
    close(ready[1]);

    // The number arrives as text ending in a newline.
    std::string text;
    const Clock::time_point deadline = Clock::now() + timeout;
    while (text.find('\n') == std::string::npos) {
        const auto left = std::chrono::duration_cast<Millis>(deadline - Clock::now()).count();
        if (left <= 0)
            break;
        pollfd waitFor = {ready[0], POLLIN, 0};
        const int polled = ::poll(&waitFor, 1, static_cast<int>(left));
        if (polled < 0 && errno == EINTR)
            continue;
        if (polled <= 0)
            break;
        char buffer[32];
        const ssize_t got = read(ready[0], buffer, sizeof buffer);
        if (got <= 0)
            break;  // the server ended without telling
        text.append(buffer, static_cast<size_t>(got));
    }
    close(ready[0]);

    const size_t newline = text.find('\n');
    if (newline == std::string::npos || newline == 0) {
        const std::string why = process.running() ? "did not report a display in time" : "ended at start";
        process.terminate();
        throw std::runtime_error("Xvfb " + why + " (see " + logPath + ")");
    }
    return std::unique_ptr<Xvfb>(new Xvfb(std::move(process), ":" + text.substr(0, newline)));
}

Xvfb::~Xvfb() {
    process_.terminate();
}

}  // namespace e2e
