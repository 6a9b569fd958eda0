// The rows that need no input on a real Win32 (Windows, or Wine here): the headings of
// tests/data/win32_rows.txt on standard input, their reports on standard output, which the test
// compares with the same file.
#include "tests/platform/win32_rows.h"

#include <cstdio>
#include <iostream>

void rows::pause(unsigned ms) { Sleep(ms); }

int main() {
    for (const std::string& row : rows::rowsOf(std::cin)) std::fputs(rows::report(row).c_str(), stdout);
}
