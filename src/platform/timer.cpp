// Window timers. A timer has no message of its own in the queue: when the queue has nothing
// else to give, a due timer yields one WM_TIMER and is set for its next period, so no more than
// one WM_TIMER per timer is ever waiting, and a late timer does not fire in bursts.
#include <algorithm>

#include "platform/platform_internal.h"

namespace {

struct SubsetTimer {
    HWND window;
    UINT_PTR id;
    uint64_t period;
    uint64_t due;
    TIMERPROC timerProc;
};

// Windows raises shorter periods to this minimum.
constexpr UINT subsetShortestPeriod = 10;

std::vector<SubsetTimer> subsetTimers;

std::vector<SubsetTimer>::iterator subsetFindTimer(HWND window, UINT_PTR id) {
    return std::find_if(subsetTimers.begin(), subsetTimers.end(),
                        [&](const SubsetTimer& timer) { return timer.window == window && timer.id == id; });
}

}  // namespace

bool subsetTakeDueTimer(MSG* msg, HWND window, UINT filterMin, UINT filterMax, bool remove, uint64_t now) {
    if (!subsetMessageInRange(WM_TIMER, filterMin, filterMax)) {
        return false;
    }
    SubsetTimer* earliest = nullptr;
    for (SubsetTimer& timer : subsetTimers) {
        if (timer.due <= now && subsetWindowMatches(timer.window, window) &&
            (earliest == nullptr || timer.due < earliest->due)) {
            earliest = &timer;
        }
    }
    if (earliest == nullptr) {
        return false;
    }
    *msg =
        MSG{earliest->window,        WM_TIMER,   earliest->id, reinterpret_cast<LPARAM>(earliest->timerProc),
            static_cast<DWORD>(now), POINT{0, 0}};
    if (remove) {
        // Keep the cadence, but a timer that fell a whole period behind starts afresh.
        earliest->due += earliest->period;
        if (earliest->due <= now) {
            earliest->due = now + earliest->period;
        }
    }
    return true;
}

int64_t subsetMillisecondsToNextTimer(HWND window, UINT filterMin, UINT filterMax, uint64_t now) {
    int64_t soonest = -1;
    if (!subsetMessageInRange(WM_TIMER, filterMin, filterMax)) {
        return soonest;
    }
    for (const SubsetTimer& timer : subsetTimers) {
        if (!subsetWindowMatches(timer.window, window)) {
            continue;
        }
        const int64_t wait = timer.due > now ? static_cast<int64_t>(timer.due - now) : 0;
        if (soonest < 0 || wait < soonest) {
            soonest = wait;
        }
    }
    return soonest;
}

void subsetKillWindowTimers(HWND window) {
    subsetTimers.erase(std::remove_if(subsetTimers.begin(), subsetTimers.end(),
                                      [window](const SubsetTimer& timer) { return timer.window == window; }),
                       subsetTimers.end());
}

// Starts (or restarts) a window's timer; its first WM_TIMER is due one period from now. Timers
// without a window are not provided.
UINT_PTR WINAPI SetTimer(HWND window, UINT_PTR id, UINT elapse, TIMERPROC timerFunc) {
    if (subsetFindWindow(window) == nullptr) {
        return 0;
    }
    const uint64_t period = std::max(elapse, subsetShortestPeriod);
    const uint64_t due = backendMilliseconds() + period;
    auto existing = subsetFindTimer(window, id);
    if (existing != subsetTimers.end()) {
        *existing = SubsetTimer{window, id, period, due, timerFunc};
    } else {
        subsetTimers.push_back(SubsetTimer{window, id, period, due, timerFunc});
    }
    return id != 0 ? id : 1;
}

BOOL WINAPI KillTimer(HWND window, UINT_PTR id) {
    auto existing = subsetFindTimer(window, id);
    if (existing == subsetTimers.end()) {
        return FALSE;
    }
    subsetTimers.erase(existing);
    return TRUE;
}
