// Windows programs under Wine: a prefix of our own with a virtual desktop, the environment to
// run programs in it, and the end of its wineserver.
//
// NOTE: inside a virtual desktop Wine draws real Win32 frames and runs its own sizing loop, so a
// border dragged with XTest reaches the program as WM_SIZE; outside one it does not.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "driver/process.h"

namespace e2e {

struct WineSettings {
    std::string wine = "/usr/lib/wine/wine64";
    std::string wineserver = "/usr/lib/wine/wineserver64";
    std::string desktopName = "e2e";
    std::string desktopSize = "1280x1024";
};

class WinePrefix {
public:
    // `path` is the prefix directory; Wine's own output goes to `logPath`.
    WinePrefix(std::string path, std::string logPath, WineSettings settings = {});

    const std::string& path() const { return path_; }
    // The lock file that processes sharing this prefix take in turn (see FileLock).
    std::string lockPath() const { return path_ + ".lock"; }
    // True when the Wine programs exist on this machine.
    bool wineInstalled() const;
    // True once create() has finished for this prefix.
    bool ready() const;
    // Makes a fresh prefix (any old one is removed): wineboot, then the virtual desktop.
    // Throws std::runtime_error with the failing step.
    void create(Millis timeout = Millis(180000));

    // Variables for any Wine program of this prefix, drawing on `display` (if not empty).
    std::vector<std::pair<std::string, std::string>> environment(const std::string& display) const;
    // What to start for a Windows executable, with its arguments.
    Command program(const std::string& exe, const std::vector<std::string>& args, const std::string& display,
                    const std::string& logPath) const;
    // Ends every process of this prefix (wineserver -k) and waits for the server to go.
    void killAll(Millis timeout = Millis(20000)) const;

private:
    void runStep(const std::vector<std::string>& argv, Millis timeout) const;
    std::string stampPath() const;

    std::string path_;
    std::string logPath_;
    WineSettings settings_;
};

}  // namespace e2e
