// A window of the Win32 subset whose procedure records what it receives, on SDL's "dummy" video
// driver, and ways to feed it SDL events as a user's input would arrive.
#pragma once

#include <gtest/gtest.h>

#include <vector>

#include "platform/platform_internal.h"
#include "platform/win32.h"

struct ReceivedMessage {
    HWND window;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

// What the recording window procedure saw, and what it does besides recording.
struct Recording {
    static std::vector<ReceivedMessage> received;
    static LRESULT createResult;  // returned for WM_CREATE
    static bool validatePaint;    // answer WM_PAINT with BeginPaint/EndPaint (else return 0 as is)
    static int fixedWidth;        // when not 0, answer WM_SIZE by setting this size again,
    static int fixedHeight;       // as a window of fixed size does
};

class SubsetWindowTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Makes a window of the recording class; its messages land in Recording::received.
    HWND createWindow(int width = 300, int height = 200);
    // Makes the window's SDL window and shows it, then answers its first paint.
    void showWindow(HWND window);

    static std::vector<UINT> receivedKinds();
    static bool receivedAny(UINT message);

    // Feeds SDL events as SDL's video driver would.
    static void pushWindowEvent(HWND window, Uint8 kind, int data1 = 0, int data2 = 0);
    static void pushMouseMotion(HWND window, int x, int y, Uint32 buttons);
    static void pushMouseButton(HWND window, bool down, Uint8 button, int x, int y);
    static void pushKey(HWND window, SDL_Keycode key, bool down = true);
    static void pushText(HWND window, const char* text);

    // Takes every message there is now, without waiting, and dispatches it.
    static void drainQueue();

private:
    std::vector<HWND> created_;
};

// The sign-extended 16-bit halves of a mouse message's lParam, as window procedures read them.
inline int lParamX(LPARAM lParam) {
    return static_cast<short>(LOWORD(lParam));
}
inline int lParamY(LPARAM lParam) {
    return static_cast<short>(HIWORD(lParam));
}
