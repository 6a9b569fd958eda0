// The message loop's calls: looking without taking, waiting for timers, quitting.
#include "subset_fixture.h"

namespace {

using MessageLoopTest = SubsetWindowTest;

int countTimers(UINT removeFlags) {
    MSG msg;
    int timers = 0;
    while (PeekMessageA(&msg, nullptr, WM_TIMER, WM_TIMER, removeFlags)) {
        ++timers;
        if (removeFlags == PM_NOREMOVE) {
            break;
        }
    }
    return timers;
}

TEST_F(MessageLoopTest, PeekingWithoutRemovingNeitherWaitsNorTakes) {
    HWND window = createWindow();
    showWindow(window);
    MSG msg;
    const Uint64 start = SDL_GetTicks64();
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE));
    EXPECT_LT(SDL_GetTicks64() - start, 50u);

    pushWindowEvent(window, SDL_WINDOWEVENT_CLOSE);
    for (int look = 0; look < 2; ++look) {
        ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE));
        EXPECT_EQ(static_cast<UINT>(WM_CLOSE), msg.message);
        EXPECT_EQ(window, msg.hwnd);
    }
    ASSERT_EQ(1, GetMessageA(&msg, nullptr, 0, 0));
    EXPECT_EQ(static_cast<UINT>(WM_CLOSE), msg.message);
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE));
}

TEST_F(MessageLoopTest, GetMessageWaitsForEachTimerPeriod) {
    HWND window = createWindow();
    const Uint64 start = SDL_GetTicks64();
    ASSERT_NE(0u, SetTimer(window, 1, 100, nullptr));
    std::vector<Uint64> arrivals;
    MSG msg;
    while (arrivals.size() < 6) {
        ASSERT_EQ(1, GetMessageA(&msg, nullptr, 0, 0));
        if (msg.message == WM_TIMER) {
            EXPECT_EQ(window, msg.hwnd);
            EXPECT_EQ(1u, msg.wParam);
            arrivals.push_back(SDL_GetTicks64());
        }
        DispatchMessageA(&msg);
    }
    // Bounds are loose: a busy machine makes timers late, never early.
    EXPECT_GE(arrivals.front() - start, 95u);
    const double meanPeriod = static_cast<double>(arrivals.back() - arrivals.front()) / (arrivals.size() - 1);
    EXPECT_GE(meanPeriod, 95.0);
    EXPECT_LE(meanPeriod, 200.0);
    RecordProperty("mean_timer_period_ms", std::to_string(meanPeriod));
}

TEST_F(MessageLoopTest, ALateTimerYieldsOneMessageAndKillingItStopsIt) {
    HWND window = createWindow();
    SetTimer(window, 7, 20, nullptr);
    SDL_Delay(150);  // several periods without looking
    EXPECT_EQ(1, countTimers(PM_REMOVE));

    EXPECT_TRUE(KillTimer(window, 7));
    SDL_Delay(60);
    EXPECT_EQ(0, countTimers(PM_NOREMOVE));
    EXPECT_FALSE(KillTimer(window, 7));
}

TEST_F(MessageLoopTest, ATimerProcedureIsCalledInsteadOfTheWindow) {
    static int calls = 0;
    calls = 0;
    HWND window = createWindow();
    SetTimer(window, 2, 10, [](HWND, UINT, UINT_PTR, DWORD) { ++calls; });
    MSG msg;
    do {
        ASSERT_EQ(1, GetMessageA(&msg, nullptr, 0, 0));
        DispatchMessageA(&msg);
    } while (msg.message != WM_TIMER);
    EXPECT_EQ(1, calls);
    EXPECT_FALSE(receivedAny(WM_TIMER));
}

TEST_F(MessageLoopTest, QuitComesAfterQueuedMessagesWithItsCode) {
    HWND window = createWindow();
    showWindow(window);
    pushKey(window, SDLK_a);
    PostQuitMessage(7);
    MSG msg;
    ASSERT_EQ(1, GetMessageA(&msg, nullptr, 0, 0));
    EXPECT_EQ(static_cast<UINT>(WM_KEYDOWN), msg.message);
    ASSERT_EQ(0, GetMessageA(&msg, nullptr, 0, 0));
    EXPECT_EQ(static_cast<UINT>(WM_QUIT), msg.message);
    EXPECT_EQ(7u, msg.wParam);
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE));  // taken once
}

}  // namespace
