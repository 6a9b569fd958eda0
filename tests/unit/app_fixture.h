// The fixture of the application tests: every test starts from the state the process starts
// with, a fresh fake Win32 and no recorded OpenGL calls.
#pragma once

#include "tests/support/fake_win32.h"
#include "tests/support/gl_recorder.h"

#include <gtest/gtest.h>

// Puts every viewer-state variable back to the value it had when the process started.
void resetViewerState();

class AppTest : public ::testing::Test {
protected:
    void SetUp() override {
        resetViewerState();
        resetFakeWin32();
        clearGlCalls();
    }
};

// The number of frames drawn since the last clearGlCalls: each ends with one buffer swap.
inline int framesDrawn() { return countGlCalls("SwapBuffers"); }
