// The rows that need no input on a real Win32 (Windows, or Wine here): each row that differs is
// shown with what was expected, and the count closes the run.
#include "tests/platform/win32_rows.h"

#include <cstdio>

void rows::pause(unsigned ms) { Sleep(ms); }

namespace {

void show(const char* label, const std::vector<std::string>& lines) {
    std::printf("  %s:", label);
    for (const std::string& line : lines) std::printf(" [%s]", line.c_str());
    std::printf("\n");
}

}  // namespace

int main() {
    int passed = 0, failed = 0;
    for (const rows::Row& row : rows::portable) {
        rows::seen.clear();
        rows::run(row.steps);
        if (rows::seen == row.seen) {
            ++passed;
        } else {
            ++failed;
            std::printf("%s differs\n", row.what);
            show("expected", row.seen);
            show("seen", rows::seen);
        }
        rows::closeAll();
    }
    std::printf("%d passed, %d failed\n", passed, failed);
    return failed == 0 ? 0 : 1;
}
