// The message loop with its idle hook.
#pragma once

// Dispatches messages until WM_QUIT, calling idleFunc whenever the queue is empty and a hook is
// installed. Returns the exit code carried by WM_QUIT, or 1 if the queue reports an error.
int runMessageLoop();
