// A Wine prefix made by wineboot, with a virtual desktop set in its registry.
#include "driver/wine.h"

#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <stdexcept>

namespace e2e {

WinePrefix::WinePrefix(std::string path, std::string logPath, WineSettings settings)
    : path_(std::move(path)), logPath_(std::move(logPath)), settings_(std::move(settings)) {}

bool WinePrefix::wineInstalled() const {
    return access(settings_.wine.c_str(), X_OK) == 0 && access(settings_.wineserver.c_str(), X_OK) == 0;
}

std::string WinePrefix::stampPath() const {
    return path_ + "/.e2e-ready";
}

bool WinePrefix::ready() const {
    return std::filesystem::exists(stampPath());
}

std::vector<std::pair<std::string, std::string>> WinePrefix::environment(const std::string& display) const {
    std::vector<std::pair<std::string, std::string>> variables = {
        {"WINEPREFIX", path_},
        {"WINEDEBUG", "-all"},
        {"WINEDLLOVERRIDES", "mscoree,mshtml="},  // no Mono or Gecko installer prompts
        {"WINEARCH", "win64"}};
    if (!display.empty())
        variables.emplace_back("DISPLAY", display);
    return variables;
}

void WinePrefix::runStep(const std::vector<std::string>& argv, Millis timeout) const {
    Command command(argv);
    command.setEnv = environment("");
    command.unsetEnv = {"DISPLAY"};  // set-up needs no display
    command.logPath = logPath_;
    std::string commandLine;
    for (const std::string& arg : argv)
        commandLine += (commandLine.empty() ? "" : " ") + arg;
    const std::optional<ExitStatus> status = runToCompletion(command, timeout);
    if (!status)
        throw std::runtime_error("Wine set-up step timed out: " + commandLine + " (see " + logPath_ + ")");
    if (!status->exited || status->code != 0)
        throw std::runtime_error("Wine set-up step failed with " + status->describe() + ": " + commandLine + " (see " +
                                 logPath_ + ")");
}

void WinePrefix::create(Millis timeout) {
    if (!wineInstalled())
        throw std::runtime_error("Wine is not installed at " + settings_.wine);
    const Clock::time_point deadline = Clock::now() + timeout;
    auto left = [&deadline] {
        return std::max(Millis(1000), std::chrono::duration_cast<Millis>(deadline - Clock::now()));
    };

    if (std::filesystem::exists(path_)) {
        killAll();
        std::filesystem::remove_all(path_);
    }
    std::filesystem::create_directories(std::filesystem::path(path_).parent_path());
    const std::string desktopKey = "HKCU\\Software\\Wine\\Explorer";
    runStep({settings_.wine, "wineboot", "-i"}, left());
    runStep({settings_.wineserver, "-w"}, left());
    runStep({settings_.wine, "reg", "add", desktopKey, "/v", "Desktop", "/d", settings_.desktopName, "/f"}, left());
    runStep({settings_.wine, "reg", "add", desktopKey + "\\Desktops", "/v", settings_.desktopName, "/d",
             settings_.desktopSize, "/f"},
            left());
    runStep({settings_.wineserver, "-w"}, left());
    std::ofstream(stampPath()) << settings_.desktopName << ' ' << settings_.desktopSize << '\n';
}

Command WinePrefix::program(const std::string& exe, const std::vector<std::string>& args, const std::string& display,
                            const std::string& logPath) const {
    Command command({settings_.wine, exe});
    command.argv.insert(command.argv.end(), args.begin(), args.end());
    command.setEnv = environment(display);
    command.logPath = logPath;
    return command;
}

void WinePrefix::killAll(Millis timeout) const {
    if (!wineInstalled() || !std::filesystem::exists(path_))
        return;
    Command kill({settings_.wineserver, "-k"});
    kill.setEnv = {{"WINEPREFIX", path_}};
    kill.logPath = logPath_;
    runToCompletion(kill, timeout);
    Command wait({settings_.wineserver, "-w"});
    wait.setEnv = {{"WINEPREFIX", path_}};
    wait.logPath = logPath_;
    runToCompletion(wait, timeout);
}

}  // namespace e2e
