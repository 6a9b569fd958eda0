// A private X server for one test: Xvfb on a display number it picks itself.
#pragma once

#include <memory>
#include <string>

#include "driver/process.h"

namespace e2e {

class Xvfb {
public:
    // Starts Xvfb with one screen of the given size ("WIDTHxHEIGHTxDEPTH") and waits until it
    // accepts connections. The server's output goes to `logPath`. Throws std::runtime_error.
    static std::unique_ptr<Xvfb> start(const std::string& screen, const std::string& logPath,
                                       Millis timeout = Millis(15000));

    ~Xvfb();  // ends the server (by its PID)

    const std::string& display() const { return display_; }  // e.g. ":7"
    pid_t pid() const { return process_.pid(); }
    bool running() { return process_.running(); }

private:
    Xvfb(Process process, std::string display) : process_(std::move(process)), display_(std::move(display)) {}

    Process process_;
    std::string display_;
};

}  // namespace e2e
