// Child processes the tests start themselves: spawned with a chosen environment, watched by
// their PID, waited for with a deadline, and ended only through that PID (and its group).
#pragma once

#include <sys/types.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "driver/wait.h"

namespace e2e {

struct Command {
    Command() = default;
    explicit Command(std::vector<std::string> commandLine) : argv(std::move(commandLine)) {}

    std::vector<std::string> argv;                            // argv[0] is the program path
    std::vector<std::pair<std::string, std::string>> setEnv;  // added to or replacing the caller's
    std::vector<std::string> unsetEnv;                        // removed from the caller's
    std::string workingDirectory;                             // empty: the caller's
    std::string logPath;                                      // stdout and stderr appended here; empty: /dev/null
    int inheritFd = -1;                                       // one descriptor left open in the child
};

// How a process ended.
struct ExitStatus {
    bool exited = false;  // true: ended by exit() with `code`; false: ended by `signal`
    int code = 0;
    int signal = 0;

    std::string describe() const;
};

// A running child. It leads its own process group, so whatever it starts can be ended with it.
class Process {
public:
    // Starts the child; throws std::runtime_error when it cannot be started (bad path included).
    static Process start(const Command& command);

    Process() = default;
    Process(Process&& other) noexcept;
    Process& operator=(Process&& other) noexcept;
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;
    ~Process();  // ends the child if it still runs

    pid_t pid() const { return pid_; }
    bool valid() const { return pid_ > 0; }

    // True while the child has not ended (reaps it once it has).
    bool running();
    // The exit status once the child has ended, else nothing; never blocks.
    std::optional<ExitStatus> status();
    // Waits up to `timeout` for the child to end by itself.
    std::optional<ExitStatus> waitForExit(Millis timeout);
    // Ends the child's process group: SIGTERM, then SIGKILL after `grace`. Returns its status.
    ExitStatus terminate(Millis grace = Millis(3000));

private:
    explicit Process(pid_t pid) : pid_(pid) {}
    bool poll(int options);

    pid_t pid_ = -1;
    std::optional<ExitStatus> status_;
};

// Runs a command to its end; if it outlives `timeout` it is ended and nothing is returned.
std::optional<ExitStatus> runToCompletion(const Command& command, Millis timeout);

}  // namespace e2e
