// The rows that need no input on a real Win32 (Windows, or Wine here): their reports on standard
// output, which the test compares with tests/data/win32_rows.txt.
#include "tests/platform/win32_rows.h"

#include <cstdio>

void rows::pause(unsigned ms) { Sleep(ms); }

int main() {
    for (const rows::Row& row : rows::portable) std::fputs(rows::report(row).c_str(), stdout);
}
