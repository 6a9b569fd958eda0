// The Win32 behaviours a program relies on, as rows: each is a line of steps on one popup window,
// and its report lists what its window procedure and GetMessageA saw, in order. The rows are the
// headings of tests/data/win32_rows*.txt, whose reports the tests compare with those the rows
// give; the rows of win32_rows.txt need no input, so they run on the subset's core (through the
// fake backend) and on a real Win32 alike. A new row is a new heading, its report then recorded
// with HELICOID_UPDATE_TRACE=1.
#pragma once

#include "platform/win32.h"

#include <functional>
#include <istream>
#include <string>
#include <vector>

namespace rows {

// Steps, separated by blanks (a number or two after a colon where the step takes them):
//   open         a popup (no frame: its size is its client size) at (40, 30), 200x100, hidden
//   show update destroy capture release      ShowWindow, UpdateWindow, ... on it
//   size:W,H     SetWindowPos to W x H with SWP_NOMOVE; place:X,Y the same size at X,Y
//   timer:ID,MS  SetTimer; kill:ID KillTimer; quit:CODE PostQuitMessage; pause:MS time passes
//   next         GetMessageA (its result first when not 1), noted, translated and dispatched
//   peek         PeekMessageA with PM_NOREMOVE, noted; paints / timers: every WM_PAINT or
//                WM_TIMER PeekMessageA removes, noted
//   palettes     two new palettes and then the first one selected into the window's device
//                context, each SelectPalette's result noted
//   =WORD        notes WORD
// The rows of a golden text: its headings "== WHAT: STEPS", each without its "== ".
std::vector<std::string> rowsOf(std::istream& golden);

// Runs a row ("WHAT: STEPS") and closes the windows it opened; its report is "== WHAT: STEPS",
// then a line for each thing seen ("WM_SIZE 0 200x100" from the procedure, "got ..." from the
// queue). A step not listed above goes to `other` (input the fake backend gives), with the window
// and its numbers.
std::string report(const std::string& row,
                   const std::function<void(HWND, const std::string&, int, int)>& other = {});

// Notes a line in the report of the row being run.
void note(const std::string& line);

// Lets `ms` milliseconds pass: sleeping on Windows, moving the fake clock on here.
void pause(unsigned ms);

}  // namespace rows
