// The subset's Win32 core on its own, through the fake backend: the rows that need no input (which
// also run on a real Win32), then rows whose input the fake backend gives, with what the core
// asked of the backend where that is the behaviour.
#include "tests/platform/fake_backend.h"
#include "tests/platform/win32_rows.h"

#include <gtest/gtest.h>

void rows::pause(unsigned ms) { fake::now += ms; }

namespace {

using rows::seen;

// Notes what the core asked of the backend since the last look.
void requests() {
    seen.insert(seen.end(), fake::requests.begin(), fake::requests.end());
    fake::requests.clear();
}

// Gives the core input at the next pump.
void give(std::function<void()> input) { fake::input.push_back(std::move(input)); }

const std::vector<rows::Row> withInput = {
    {"ATypedCharacterComesRightAfterItsKeyDownBeforeLaterInput",
     [] {
         HWND window = rows::open();
         give([=] {
             coreKeyInput(window, 'F', true, false, fake::now);
             coreTextInput(window, "f", fake::now);
             coreMouseInput(window, WM_MOUSEMOVE, false, 5, 6, 45, 36, fake::now);
         });
         for (int i = 0; i < 3; ++i) rows::next();
     },
     {"WM_CREATE", "WM_SIZE 0 200x100", "got WM_KEYDOWN 70 00000001", "WM_KEYDOWN 70 00000001",
      "got WM_CHAR 102", "WM_CHAR 102", "got WM_MOUSEMOVE 0 5,6", "WM_MOUSEMOVE 0 5,6"}},
    {"KeyMessagesCarryWindowsBitsAndEscTypes27",
     [] {
         HWND window = rows::open();
         give([=] {
             coreKeyInput(window, VK_ESCAPE, true, false, fake::now);
             coreKeyInput(window, VK_ESCAPE, true, true, fake::now);
             coreKeyInput(window, VK_ESCAPE, false, false, fake::now);
         });
         for (int i = 0; i < 5; ++i) rows::next();
     },
     {"WM_CREATE", "WM_SIZE 0 200x100", "got WM_KEYDOWN 27 00000001", "WM_KEYDOWN 27 00000001",
      "got WM_CHAR 27", "WM_CHAR 27", "got WM_KEYDOWN 27 40000001", "WM_KEYDOWN 27 40000001",
      "got WM_CHAR 27", "WM_CHAR 27", "got WM_KEYUP 27 c0000001", "WM_KEYUP 27 c0000001"}},
    {"CaptureGivesPointsOutsideTheWindowAsNegativeHalves",
     [] {
         HWND window = rows::open();
         SetCapture(window);
         give([=] { coreMouseInput(window, WM_MOUSEMOVE, true, -20, -30, 20, 0, fake::now); });
         rows::next();
         ReleaseCapture();
         requests();
     },
     {"WM_CREATE", "WM_SIZE 0 200x100", "got WM_MOUSEMOVE 1 -20,-30", "WM_MOUSEMOVE 1 -20,-30", "capture on",
      "capture off"}},
    {"SetWindowPosMovesUnlessToldNotToAndRaises",
     [] {
         HWND window = rows::open();
         ShowWindow(window, SW_SHOW);
         fake::requests.clear();
         SetWindowPos(window, HWND_TOP, 0, 0, 300, 150, SWP_NOMOVE);
         SetWindowPos(window, HWND_TOP, 60, 70, 300, 150, SWP_NOZORDER);
         requests();
     },
     {"WM_CREATE", "WM_SIZE 0 200x100", "WM_SIZE 0 300x150", "size 300x150", "raise 1", "move 60,70"}},
    {"SizesTheUserGivesAreReportedOnceAndARestoredWindowIsPainted",
     [] {
         HWND window = rows::open();
         ShowWindow(window, SW_SHOW);
         UpdateWindow(window);
         give([=] {
             coreSizeInput(window, 500, 400, false, fake::now);
             coreSizeInput(window, 500, 400, false, fake::now);
             coreMinimizeInput(window, fake::now);
             coreRestoreInput(window, false, fake::now);
         });
         for (int i = 0; i < 4; ++i) rows::next();
     },
     {"WM_CREATE", "WM_SIZE 0 200x100", "WM_PAINT", "got WM_SIZE 0 500x400", "WM_SIZE 0 500x400",
      "got WM_SIZE 1 0x0", "WM_SIZE 1 0x0", "got WM_SIZE 0 500x400", "WM_SIZE 0 500x400", "got WM_PAINT",
      "WM_PAINT"}},
    {"TheCloseButtonDestroysTheWindowThroughDefaultProcessing",
     [] {
         HWND window = rows::open();
         ShowWindow(window, SW_SHOW);
         UpdateWindow(window);
         fake::requests.clear();
         give([=] { coreCloseInput(window, fake::now); });
         rows::next();
         requests();
     },
     {"WM_CREATE", "WM_SIZE 0 200x100", "WM_PAINT", "got WM_CLOSE", "WM_CLOSE", "WM_DESTROY", "destroy 1"}},
};

class Win32Core : public ::testing::TestWithParam<rows::Row> {};

TEST_P(Win32Core, BehavesAsWindowsDoes) {
    seen.clear();
    fake::reset();
    GetParam().act();
    EXPECT_EQ(seen, GetParam().seen);
    rows::closeAll();
}

const auto name = [](const auto& info) { return std::string(info.param.what); };
INSTANTIATE_TEST_SUITE_P(WithoutInput, Win32Core, ::testing::ValuesIn(rows::portable), name);
INSTANTIATE_TEST_SUITE_P(WithInput, Win32Core, ::testing::ValuesIn(withInput), name);

}  // namespace
