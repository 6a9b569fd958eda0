// The subset's Win32 core on its own, through the fake backend: the rows of
// tests/data/win32_rows.txt, which need no input (and also run on a real Win32), then those of
// win32_rows_with_input.txt, with input the fake backend gives and what the core asked of the
// backend where that is the behaviour; each file's reports are compared with the file.
#include "tests/platform/fake_backend.h"
#include "tests/platform/win32_rows.h"
#include "tests/support/golden.h"

#include <gtest/gtest.h>

#include <fstream>

void rows::pause(unsigned ms) { fake::now += ms; }

namespace {

// The input steps, given to the core at its next pump: key:VK (down), repeat:VK, up:VK, text:C
// (the character C typed), move:X,Y and drag:X,Y (with the left button down), sized:W,H,
// minimize, restore, close; and requests, which notes what the core asked of the backend.
void input(HWND window, const std::string& step, int a, int b) {
    const uint64_t t = fake::now;
    const std::string typed(1, char(a));
    if (step == "requests") {
        for (const std::string& request : fake::requests) rows::note(request);
        fake::requests.clear();
        return;
    }
    fake::input.push_back([=] {
        if (step == "key" || step == "repeat" || step == "up")
            coreKeyInput(window, WORD(a), step != "up", step == "repeat", t);
        if (step == "text") coreTextInput(window, typed.c_str(), t);
        if (step == "move" || step == "drag")
            coreMouseInput(window, WM_MOUSEMOVE, step == "drag", a, b, a + 40, b + 30, t);
        if (step == "sized") coreSizeInput(window, a, b, false, t);
        if (step == "minimize") coreMinimizeInput(window, t);
        if (step == "restore") coreRestoreInput(window, false, t);
        if (step == "close") coreCloseInput(window, t);
    });
}

TEST(Win32Core, EveryRowEndsAsRecorded) {
    for (const char* file : {"win32_rows.txt", "win32_rows_with_input.txt"}) {
        std::ifstream golden(std::string(HELICOID_TEST_DATA) + "/" + file);
        ASSERT_TRUE(golden) << file;
        std::string reports;
        for (const std::string& row : rows::rowsOf(golden)) {
            fake::reset();
            reports += rows::report(row, input);
        }
        expectGolden(file, reports);
    }
}

}  // namespace
