// Child processes: fork and exec with a prepared environment, waitpid without blocking.
#include "driver/process.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <stdexcept>

extern char** environ;

namespace e2e {

namespace {

// The caller's environment with the command's changes applied, as NAME=VALUE strings.
std::vector<std::string> buildEnvironment(const Command& command) {
    std::vector<std::string> result;
    auto overridden = [&command](const std::string& name) {
        for (const auto& [key, value] : command.setEnv)
            if (key == name)
                return true;
        return std::find(command.unsetEnv.begin(), command.unsetEnv.end(), name) != command.unsetEnv.end();
    };
    for (char** entry = environ; *entry != nullptr; ++entry) {
        const std::string text = *entry;
        const std::string name = text.substr(0, text.find('='));
        if (!overridden(name))
            result.push_back(text);
    }
    for (const auto& [key, value] : command.setEnv)
        result.push_back(key + "=" + value);
    return result;
}

std::vector<char*> pointersTo(std::vector<std::string>& strings) {
    std::vector<char*> pointers;
    for (std::string& s : strings)
        pointers.push_back(s.data());
    pointers.push_back(nullptr);
    return pointers;
}

// Reports a failure between fork and exec to the parent through the pipe, then dies.
[[noreturn]] void childFail(int reportFd, const char* step) {
    const int error = errno;
    ssize_t ignored = write(reportFd, &error, sizeof error);
    ignored = write(reportFd, step, std::strlen(step));
    (void)ignored;
    _exit(127);
}

}  // namespace

std::string ExitStatus::describe() const {
    if (exited)
        return "exit code " + std::to_string(code);
    return "killed by signal " + std::to_string(signal) + " (" + strsignal(signal) + ")";
}

Process Process::start(const Command& command) {
    if (command.argv.empty())
        throw std::runtime_error("Process::start: empty command line");

    // Everything the child needs is prepared before fork: after it, only async-signal-safe calls.
    std::vector<std::string> args = command.argv;
    std::vector<std::string> env = buildEnvironment(command);
    std::vector<char*> argPointers = pointersTo(args);
    std::vector<char*> envPointers = pointersTo(env);
    const std::string logPath = command.logPath.empty() ? "/dev/null" : command.logPath;

    int report[2];
    if (pipe2(report, O_CLOEXEC) != 0)
        throw std::runtime_error(std::string("pipe2: ") + std::strerror(errno));

    const pid_t pid = fork();
    if (pid < 0) {
        const int error = errno;
        close(report[0]);
        close(report[1]);
        throw std::runtime_error(std::string("fork: ") + std::strerror(error));
    }
    if (pid == 0) {
        setpgid(0, 0);
        // Default signal handling and mask, whatever the test runner set up.
        sigset_t none;
        sigemptyset(&none);
        sigprocmask(SIG_SETMASK, &none, nullptr);
        const int devNull = open("/dev/null", O_RDONLY);
        if (devNull < 0 || dup2(devNull, STDIN_FILENO) < 0)
            childFail(report[1], "stdin");
        const int log = open(logPath.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
        if (log < 0)
            childFail(report[1], "open log");
        if (dup2(log, STDOUT_FILENO) < 0 || dup2(log, STDERR_FILENO) < 0)
            childFail(report[1], "dup2 log");
        if (command.inheritFd >= 0 && fcntl(command.inheritFd, F_SETFD, 0) != 0)
            childFail(report[1], "inherit fd");
        if (!command.workingDirectory.empty() && chdir(command.workingDirectory.c_str()) != 0)
            childFail(report[1], "chdir");
        execve(argPointers[0], argPointers.data(), envPointers.data());
        childFail(report[1], "execve");
    }

    // The report pipe closes unread on a successful exec.
    close(report[1]);
    setpgid(pid, pid);  // also here, so the group exists before the caller can signal it
    int error = 0;
    char step[64] = {};
    ssize_t got = read(report[0], &error, sizeof error);
    if (got == static_cast<ssize_t>(sizeof error)) {
        ssize_t stepLength = read(report[0], step, sizeof step - 1);
        (void)stepLength;
    }
    close(report[0]);
    Process process(pid);
    if (got == static_cast<ssize_t>(sizeof error)) {
        process.waitForExit(Millis(5000));
        throw std::runtime_error("cannot start " + command.argv[0] + ": " + step + ": " + std::strerror(error));
    }
    return process;
}

Process::Process(Process&& other) noexcept : pid_(other.pid_), status_(other.status_) {
    other.pid_ = -1;
    other.status_.reset();
}

Process& Process::operator=(Process&& other) noexcept {
    if (this != &other) {
        if (valid() && running())
            terminate();
        pid_ = other.pid_;
        status_ = other.status_;
        other.pid_ = -1;
        other.status_.reset();
    }
    return *this;
}

Process::~Process() {
    if (valid() && running())
        terminate();
}

bool Process::poll(int options) {
    if (status_)
        return true;
    int raw = 0;
    pid_t got;
    do {
        got = waitpid(pid_, &raw, options);
    } while (got < 0 && errno == EINTR);
    if (got != pid_)
        return false;
    ExitStatus status;
    if (WIFEXITED(raw)) {
        status.exited = true;
        status.code = WEXITSTATUS(raw);
    } else if (WIFSIGNALED(raw)) {
        status.signal = WTERMSIG(raw);
    }
    status_ = status;
    return true;
}

bool Process::running() {
    return valid() && !poll(WNOHANG);
}

std::optional<ExitStatus> Process::status() {
    if (valid())
        poll(WNOHANG);
    return status_;
}

std::optional<ExitStatus> Process::waitForExit(Millis timeout) {
    if (!valid())
        return std::nullopt;
    waitUntil([this] { return poll(WNOHANG); }, timeout, Millis(10));
    return status_;
}

ExitStatus Process::terminate(Millis grace) {
    // NOTE: the group is signalled only while its leader is unreaped, so its id cannot have
    // been reused by anything we did not start.
    if (!status()) {
        kill(-pid_, SIGTERM);
        if (!waitForExit(grace)) {
            kill(-pid_, SIGKILL);
            poll(0);
        }
    }
    return status_.value_or(ExitStatus{});
}

std::optional<ExitStatus> runToCompletion(const Command& command, Millis timeout) {
    Process process = Process::start(command);
    std::optional<ExitStatus> status = process.waitForExit(timeout);
    if (!status)
        process.terminate();
    return status;
}

}  // namespace e2e
