// The Win32 behaviours a program relies on, as rows: each does a few Win32 calls and lists the
// messages its window procedure and GetMessageA saw, in order. The rows here need no input, so
// they run on the subset's core (through the fake backend) and on a real Win32 alike.
#pragma once

#include "platform/win32.h"

#include <functional>
#include <string>
#include <vector>

namespace rows {

struct Row {
    const char* what;
    std::function<void()> act;
    std::vector<std::string> seen;  // what the window procedure and GetMessageA saw
};

// What the rows saw so far: "WM_SIZE 0 200x100" from the procedure, "got WM_TIMER 7" from
// GetMessageA and PeekMessageA, and the rows' own notes.
extern std::vector<std::string> seen;

// A popup window (no frame, so its size is its client size) of the rows' class at (40, 30),
// 200x100, not yet shown.
HWND open();

// Destroys every window the rows opened, after a row.
void closeAll();

// Takes the next message with GetMessageA (its result first when it is not 1), notes it, then
// translates and dispatches it.
void next();

// Notes every message PeekMessageA finds for the window in [first, last] with PM_REMOVE.
void drain(HWND window, UINT first, UINT last);

// Lets `ms` milliseconds pass: sleeping on Windows, moving the fake clock on here.
void pause(unsigned ms);

// The text of a message as the rows note it.
std::string text(UINT message, WPARAM wParam, LPARAM lParam);

extern const std::vector<Row> portable;

}  // namespace rows
