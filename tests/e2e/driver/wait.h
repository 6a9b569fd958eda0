// Polling with deadlines: the one way the driver and its tests wait for something to happen.
#pragma once

#include <chrono>
#include <thread>

namespace e2e {

using Clock = std::chrono::steady_clock;
using Millis = std::chrono::milliseconds;

// Calls condition() until it returns true or the timeout runs out; returns its last answer.
// The condition is always asked at least once, and once more right at the deadline.
template <typename Condition>
bool waitUntil(Condition condition, Millis timeout, Millis interval = Millis(25)) {
    const Clock::time_point deadline = Clock::now() + timeout;
    for (;;) {
        if (condition())
            return true;
        const Clock::time_point now = Clock::now();
        if (now >= deadline)
            return condition();
        std::this_thread::sleep_for(std::min<Clock::duration>(interval, deadline - now));
    }
}

}  // namespace e2e
