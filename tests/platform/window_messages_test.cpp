// A window's life as its procedure sees it: creation, painting, sizing, input and closing.
#include "subset_fixture.h"

namespace {

using WindowMessagesTest = SubsetWindowTest;

std::vector<ReceivedMessage> receivedOf(UINT message) {
    std::vector<ReceivedMessage> found;
    for (const ReceivedMessage& each : Recording::received) {
        if (each.message == message) {
            found.push_back(each);
        }
    }
    return found;
}

TEST_F(WindowMessagesTest, CreationDeliversCreateAndFirstSizeBeforeReturning) {
    HWND window = createWindow(300, 200);
    ASSERT_NE(nullptr, window);
    ASSERT_EQ((std::vector<UINT>{WM_CREATE, WM_SIZE}), receivedKinds());
    EXPECT_EQ(window, Recording::received[0].window);
    EXPECT_EQ(300, lParamX(Recording::received[1].lParam));
    EXPECT_EQ(200, lParamY(Recording::received[1].lParam));
    // The window's own device context: the same every time, and it leads back to the window.
    EXPECT_EQ(GetDC(window), GetDC(window));
    EXPECT_EQ(window, WindowFromDC(GetDC(window)));
}

TEST_F(WindowMessagesTest, AWindowThatRefusesCreationIsDestroyed) {
    Recording::createResult = -1;
    EXPECT_EQ(nullptr, createWindow());
    EXPECT_EQ((std::vector<UINT>{WM_CREATE, WM_DESTROY}), receivedKinds());
    // Classes are found by name only; an atom finds none (and is not read as a name).
    EXPECT_EQ(nullptr, CreateWindowExA(0, MAKEINTRESOURCEA(0xC000), "", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr,
                                       nullptr));
}

TEST_F(WindowMessagesTest, CloseRequestDestroysTheWindowWithItsTimer) {
    HWND window = createWindow();
    showWindow(window);
    SetTimer(window, 1, 10, nullptr);
    Recording::received.clear();
    pushWindowEvent(window, SDL_WINDOWEVENT_CLOSE);
    MSG msg;
    ASSERT_EQ(1, GetMessageA(&msg, nullptr, 0, 0));
    DispatchMessageA(&msg);  // the procedure hands WM_CLOSE to DefWindowProcA
    EXPECT_EQ((std::vector<UINT>{WM_CLOSE, WM_DESTROY}), receivedKinds());
    EXPECT_EQ(nullptr, GetDC(window));
    SDL_Delay(30);
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE));
}

TEST_F(WindowMessagesTest, PaintingIsAskedForUntilTheWindowIsValidated) {
    HWND window = createWindow();
    Recording::validatePaint = false;
    ShowWindow(window, SW_SHOW);
    UpdateWindow(window);
    EXPECT_EQ(1u, receivedOf(WM_PAINT).size());  // delivered by UpdateWindow itself

    MSG msg;
    for (int look = 0; look < 2; ++look) {
        ASSERT_TRUE(PeekMessageA(&msg, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE));
        EXPECT_EQ(window, msg.hwnd);
    }
    DefWindowProcA(window, WM_PAINT, 0, 0);  // default processing validates
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, WM_PAINT, WM_PAINT, PM_NOREMOVE));

    pushWindowEvent(window, SDL_WINDOWEVENT_EXPOSED);
    Recording::validatePaint = true;
    drainQueue();  // BeginPaint and EndPaint validate
    EXPECT_EQ(2u, receivedOf(WM_PAINT).size());
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, WM_PAINT, WM_PAINT, PM_NOREMOVE));
}

TEST_F(WindowMessagesTest, EachNewSizeIsReportedOnce) {
    HWND window = createWindow(300, 200);
    showWindow(window);
    Recording::received.clear();

    ASSERT_TRUE(SetWindowPos(window, HWND_TOP, 0, 0, 320, 240, SWP_NOMOVE));
    drainQueue();  // SDL's own report of the change adds nothing
    ASSERT_EQ(1u, receivedOf(WM_SIZE).size());
    EXPECT_EQ(320, lParamX(receivedOf(WM_SIZE)[0].lParam));
    EXPECT_EQ(240, lParamY(receivedOf(WM_SIZE)[0].lParam));

    SetWindowPos(window, HWND_TOP, 0, 0, 320, 240, SWP_NOMOVE);
    drainQueue();
    EXPECT_EQ(1u, receivedOf(WM_SIZE).size());

    pushWindowEvent(window, SDL_WINDOWEVENT_SIZE_CHANGED, 400, 380);  // a drag of the border
    drainQueue();
    ASSERT_EQ(2u, receivedOf(WM_SIZE).size());
    EXPECT_EQ(400, lParamX(receivedOf(WM_SIZE)[1].lParam));
    EXPECT_EQ(380, lParamY(receivedOf(WM_SIZE)[1].lParam));
}

TEST_F(WindowMessagesTest, AWindowThatKeepsItsSizeSettlesAfterADrag) {
    HWND window = createWindow(300, 200);
    showWindow(window);
    Recording::fixedWidth = 300;
    Recording::fixedHeight = 200;
    Recording::received.clear();

    pushWindowEvent(window, SDL_WINDOWEVENT_SIZE_CHANGED, 450, 410);
    drainQueue();
    const std::vector<ReceivedMessage> sizes = receivedOf(WM_SIZE);
    ASSERT_EQ(2u, sizes.size());  // the drag's size, then the size set back, and no more
    EXPECT_EQ(450, lParamX(sizes[0].lParam));
    EXPECT_EQ(300, lParamX(sizes[1].lParam));
    EXPECT_EQ(200, lParamY(sizes[1].lParam));
    int width = 0;
    int height = 0;
    SDL_GetWindowSize(subsetFindWindow(window)->sdlWindow, &width, &height);
    EXPECT_EQ(300, width);
    EXPECT_EQ(200, height);
}

TEST_F(WindowMessagesTest, MouseMessagesCarryButtonsAndSignedPositions) {
    HWND window = createWindow();
    showWindow(window);
    Recording::received.clear();
    pushMouseButton(window, true, SDL_BUTTON_LEFT, 10, 12);
    pushMouseMotion(window, -5, -7, SDL_BUTTON_LMASK);  // dragged out of the window, captured
    pushMouseButton(window, false, SDL_BUTTON_LEFT, -300, 1000);
    drainQueue();

    ASSERT_EQ((std::vector<UINT>{WM_LBUTTONDOWN, WM_MOUSEMOVE, WM_LBUTTONUP}), receivedKinds());
    const struct {
        WPARAM buttons;
        int x, y;
    } expected[] = {{MK_LBUTTON, 10, 12}, {MK_LBUTTON, -5, -7}, {0, -300, 1000}};
    for (size_t i = 0; i < std::size(expected); ++i) {
        EXPECT_EQ(expected[i].buttons, Recording::received[i].wParam) << i;
        EXPECT_EQ(expected[i].x, lParamX(Recording::received[i].lParam)) << i;
        EXPECT_EQ(expected[i].y, lParamY(Recording::received[i].lParam)) << i;
    }
    EXPECT_EQ(0xFFF9FFFBu, static_cast<DWORD>(Recording::received[1].lParam));
}

TEST_F(WindowMessagesTest, TranslatedKeysTypeTheirCharacters) {
    HWND window = createWindow();
    showWindow(window);
    Recording::received.clear();
    pushKey(window, SDLK_ESCAPE);
    pushKey(window, SDLK_ESCAPE, false);
    pushKey(window, SDLK_f);
    pushText(window, "f");
    pushKey(window, SDLK_f);  // with Shift held
    pushText(window, "F");
    pushKey(window, SDLK_RETURN);
    pushText(window, "\xC3\xA9");  // an input method's e-acute, with no key-down of its own
    drainQueue();

    std::vector<UINT> kinds = receivedKinds();
    kinds.erase(std::remove(kinds.begin(), kinds.end(), WM_KEYUP), kinds.end());
    EXPECT_EQ((std::vector<UINT>{WM_KEYDOWN, WM_CHAR, WM_KEYDOWN, WM_CHAR, WM_KEYDOWN, WM_CHAR, WM_KEYDOWN, WM_CHAR,
                                 WM_CHAR}),
              kinds);
    std::vector<WPARAM> keys;
    for (const ReceivedMessage& each : receivedOf(WM_KEYDOWN)) {
        keys.push_back(each.wParam);
    }
    EXPECT_EQ((std::vector<WPARAM>{VK_ESCAPE, 'F', 'F', VK_RETURN}), keys);
    std::vector<WPARAM> characters;
    for (const ReceivedMessage& each : receivedOf(WM_CHAR)) {
        characters.push_back(each.wParam);
    }
    EXPECT_EQ((std::vector<WPARAM>{27, 'f', 'F', 13, 0xE9}), characters);
}

TEST_F(WindowMessagesTest, KeysTypeNothingWithoutTranslateMessage) {
    HWND window = createWindow();
    showWindow(window);
    pushKey(window, SDLK_ESCAPE);
    pushKey(window, SDLK_p);
    pushText(window, "p");
    MSG msg;
    for (int key = 0; key < 2; ++key) {
        ASSERT_EQ(1, GetMessageA(&msg, nullptr, 0, 0));
        EXPECT_EQ(static_cast<UINT>(WM_KEYDOWN), msg.message);
        DispatchMessageA(&msg);
    }
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE));
}

TEST_F(WindowMessagesTest, TheOnePixelFormatIsTrueColourAndNeedsNoPalette) {
    HWND window = createWindow();
    HDC dc = GetDC(window);
    PIXELFORMATDESCRIPTOR request{};
    request.nSize = sizeof(request);
    request.nVersion = 1;
    request.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
    request.cColorBits = 8;
    request.cDepthBits = 16;
    const int format = 1;  // ChoosePixelFormat has none to offer without OpenGL, as here
    EXPECT_EQ(0, GetPixelFormat(dc));

    PIXELFORMATDESCRIPTOR described{};
    EXPECT_EQ(1, DescribePixelFormat(dc, format, sizeof(described), &described));
    EXPECT_EQ(PFD_TYPE_RGBA, described.iPixelType);
    EXPECT_EQ(0u, described.dwFlags & (PFD_NEED_PALETTE | PFD_NEED_SYSTEM_PALETTE));
    EXPECT_EQ(static_cast<DWORD>(PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER),
              described.dwFlags & (PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER));
    EXPECT_GE(described.cColorBits, 15);
    EXPECT_GE(described.cDepthBits, 16);
    EXPECT_EQ(described.cColorBits, described.cRedBits + described.cGreenBits + described.cBlueBits);
}

TEST_F(WindowMessagesTest, APaletteIsSelectedAndRealisedWithAllItsEntries) {
    HWND window = createWindow();
    HDC dc = GetDC(window);
    LOGPALETTE* logical =
        static_cast<LOGPALETTE*>(std::calloc(1, sizeof(LOGPALETTE) + 3 * sizeof(PALETTEENTRY)));
    logical->palVersion = 0x300;
    logical->palNumEntries = 4;
    HPALETTE palette = CreatePalette(logical);
    std::free(logical);
    ASSERT_NE(nullptr, palette);

    HPALETTE original = SelectPalette(dc, palette, FALSE);
    EXPECT_NE(nullptr, original);
    EXPECT_EQ(4u, RealizePalette(dc));
    EXPECT_TRUE(UnrealizeObject(palette));
    EXPECT_EQ(palette, SelectPalette(dc, original, FALSE));
}

}  // namespace
