// flock on a lock file, polled until the deadline.
#include "driver/file_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <stdexcept>

namespace e2e {

FileLock::FileLock(const std::string& path, Millis timeout) {
    const std::filesystem::path parent = std::filesystem::path(path).parent_path();
    if (!parent.empty())
        std::filesystem::create_directories(parent);
    fd_ = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (fd_ < 0)
        throw std::runtime_error("cannot open lock file " + path + ": " + std::strerror(errno));
    if (!waitUntil([this] { return flock(fd_, LOCK_EX | LOCK_NB) == 0; }, timeout, Millis(100))) {
        close(fd_);
        throw std::runtime_error("another process holds " + path + " for too long");
    }
}

FileLock::~FileLock() {
    flock(fd_, LOCK_UN);
    close(fd_);
}

}  // namespace e2e
