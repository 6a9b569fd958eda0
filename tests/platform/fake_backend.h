// A backend for the subset's Win32 core with no machine behind it: it records what the core asks
// of it (one line a request), feeds the input a test gives it, and keeps a clock the test sets.
#pragma once

#include "platform/backend.h"

#include <functional>
#include <string>
#include <vector>

namespace fake {

// The requests since the last reset, e.g. "create 40,30 200x100", "size 300x200", "capture 1".
extern std::vector<std::string> requests;

// Input given to the core at the next pump, in order (calls of the core's input functions).
extern std::vector<std::function<void()>> input;

// The clock, in milliseconds; a wait moves it on by its timeout.
extern uint64_t now;

// Forgets the requests and input; the clock goes on.
void reset();

}  // namespace fake
