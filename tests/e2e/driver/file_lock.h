// An exclusive lock on a file, shared by separate processes (flock), taken with a deadline.
#pragma once

#include <string>

#include "driver/wait.h"

namespace e2e {

class FileLock {
public:
    // Waits up to `timeout` for the lock on `path` (created if missing); throws
    // std::runtime_error if it cannot be had in time.
    FileLock(const std::string& path, Millis timeout);
    ~FileLock();
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

private:
    int fd_ = -1;
};

}  // namespace e2e
