// The logical palette: when one is made, its entries, and the two palette messages.
#include "tests/unit/app_fixture.h"

#include "scene/redraw.h"
#include "app/window_procedure.h"
#include "gl/palette.h"
#include "scene/viewer_state.h"

#include <new>

namespace {

// Lets a test make the palette's memory unobtainable.
bool failArrayAllocation = false;

PIXELFORMATDESCRIPTOR paletteFormat332() {
    PIXELFORMATDESCRIPTOR format = {};
    format.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER | PFD_NEED_PALETTE;
    format.iPixelType = PFD_TYPE_RGBA;
    format.cColorBits = 8;
    format.cRedBits = 3;
    format.cRedShift = 0;
    format.cGreenBits = 3;
    format.cGreenShift = 3;
    format.cBlueBits = 2;
    format.cBlueShift = 6;
    return format;
}

void expectEntry(int index, int red, int green, int blue) {
    ASSERT_LT(index, int(fakeWin32.capturedPalette.size()));
    const PALETTEENTRY& entry = fakeWin32.capturedPalette[index];
    EXPECT_EQ(entry.peRed, red) << "entry " << index;
    EXPECT_EQ(entry.peGreen, green) << "entry " << index;
    EXPECT_EQ(entry.peBlue, blue) << "entry " << index;
    EXPECT_EQ(entry.peFlags, 0) << "entry " << index;
}

class PaletteTest : public AppTest {
protected:
    void TearDown() override { failArrayAllocation = false; }
};

}  // namespace

// The palette's memory comes from the nothrow array form; this one can be told to fail.
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
    if (failArrayAllocation) return nullptr;
    try {
        return ::operator new[](size);
    } catch (...) {
        return nullptr;
    }
}

TEST_F(PaletteTest, A332FormatGetsEvenlySpreadLevelsAndIsSelectedAndRealised) {
    fakeWin32.describedFormat = paletteFormat332();
    setupPalette(fakeDC);

    EXPECT_EQ(win32CallNames(), (std::vector<std::string>{"GetPixelFormat", "DescribePixelFormat", "CreatePalette",
                                                          "SelectPalette", "RealizePalette"}));
    EXPECT_EQ(lastWin32Call("DescribePixelFormat").args,
              (std::vector<intptr_t>{intptr_t(fakeDC), fakeWin32.getPixelFormatResult, 40}));
    EXPECT_EQ(fakeWin32.capturedPaletteVersion, 0x300);
    ASSERT_EQ(fakeWin32.capturedPalette.size(), 256u);
    expectEntry(0, 0, 0, 0);
    expectEntry(255, 255, 255, 255);
    expectEntry(0x53, 109, 72, 85);  // blue 1, green 2, red 3: 255/3, 2*255/7, 3*255/7 truncated
    expectEntry(0x87, 255, 0, 170);  // blue 2, green 0, red 7
    EXPECT_EQ(hPalette, fakePalette);
    EXPECT_EQ(lastWin32Call("SelectPalette").args, (std::vector<intptr_t>{intptr_t(fakeDC), intptr_t(fakePalette), FALSE}));
    // Building the palette draws nothing by itself.
    EXPECT_EQ(idleFunc, nullptr);
}

TEST_F(PaletteTest, AColourIndexFormatGetsAPaletteToo) {
    PIXELFORMATDESCRIPTOR format = paletteFormat332();
    format.dwFlags &= ~DWORD(PFD_NEED_PALETTE);
    format.iPixelType = PFD_TYPE_COLORINDEX;
    fakeWin32.describedFormat = format;
    setupPalette(fakeDC);
    EXPECT_EQ(countWin32Calls("CreatePalette"), 1);
    EXPECT_EQ(hPalette, fakePalette);
}

TEST_F(PaletteTest, NoPaletteIsMadeForTrueColourOrDeepFormats) {
    PIXELFORMATDESCRIPTOR trueColour = {};
    trueColour.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
    trueColour.cColorBits = 24;
    trueColour.cRedBits = trueColour.cGreenBits = trueColour.cBlueBits = 8;
    // A palette format deeper than 8 bits would need more entries than a palette can count.
    PIXELFORMATDESCRIPTOR deep = paletteFormat332();
    deep.cColorBits = 16;
    for (const PIXELFORMATDESCRIPTOR& format : {trueColour, deep}) {
        resetFakeWin32();
        fakeWin32.describedFormat = format;
        setupPalette(fakeDC);
        EXPECT_EQ(countWin32Calls("CreatePalette"), 0);
        EXPECT_EQ(hPalette, nullptr);
    }
}

TEST_F(PaletteTest, AZeroBitChannelIsZeroInEveryEntry) {
    PIXELFORMATDESCRIPTOR format = paletteFormat332();
    format.cBlueBits = 0;
    fakeWin32.describedFormat = format;
    setupPalette(fakeDC);
    ASSERT_EQ(fakeWin32.capturedPalette.size(), 256u);
    for (const PALETTEENTRY& entry : fakeWin32.capturedPalette) EXPECT_EQ(entry.peBlue, 0);
    expectEntry(255, 255, 255, 0);
}

TEST_F(PaletteTest, NoPaletteWhenItsMemoryOrThePaletteCannotBeHad) {
    fakeWin32.describedFormat = paletteFormat332();
    failArrayAllocation = true;
    setupPalette(fakeDC);
    failArrayAllocation = false;
    EXPECT_EQ(countWin32Calls("CreatePalette"), 0);
    EXPECT_EQ(hPalette, nullptr);

    resetFakeWin32();
    fakeWin32.describedFormat = paletteFormat332();
    fakeWin32.createPaletteResult = nullptr;
    setupPalette(fakeDC);
    EXPECT_EQ(countWin32Calls("CreatePalette"), 1);
    EXPECT_EQ(countWin32Calls("SelectPalette"), 0);
    EXPECT_EQ(countWin32Calls("RealizePalette"), 0);
    EXPECT_EQ(hPalette, nullptr);
}

TEST_F(PaletteTest, PaletteMessagesRealiseThePaletteAgainAndAskForAFrame) {
    hPalette = fakePalette;
    hDC = fakeDC;
    const HWND otherWindow = reinterpret_cast<HWND>(0x9999);
    // Neither message needs a rendering context: hRC is null here.
    EXPECT_EQ(WndProc(fakeWindow, WM_QUERYNEWPALETTE, 0, 0), TRUE);
    EXPECT_EQ(win32CallNames(), (std::vector<std::string>{"UnrealizeObject", "SelectPalette", "RealizePalette"}));
    EXPECT_EQ(lastWin32Call("UnrealizeObject").args, std::vector<intptr_t>{intptr_t(fakePalette)});
    EXPECT_EQ(lastWin32Call("SelectPalette").args, (std::vector<intptr_t>{intptr_t(fakeDC), intptr_t(fakePalette), FALSE}));
    EXPECT_EQ(idleFunc, idleFrame);

    win32Calls.clear();
    idleFunc = nullptr;
    EXPECT_EQ(WndProc(fakeWindow, WM_PALETTECHANGED, WPARAM(otherWindow), 0), 0);
    EXPECT_EQ(win32CallNames(), (std::vector<std::string>{"UnrealizeObject", "SelectPalette", "RealizePalette"}));
    EXPECT_EQ(idleFunc, idleFrame);
}

TEST_F(PaletteTest, PaletteMessagesGoToDefaultProcessingWithoutAPaletteOrWhenThisWindowChangedIt) {
    hDC = fakeDC;
    const WPARAM otherWindow = 0x9999;
    // No palette: both messages.
    EXPECT_EQ(WndProc(fakeWindow, WM_QUERYNEWPALETTE, 0, 0), fakeWin32.defWindowProcResult);
    EXPECT_EQ(WndProc(fakeWindow, WM_PALETTECHANGED, otherWindow, 0), fakeWin32.defWindowProcResult);
    // This window's own change.
    hPalette = fakePalette;
    EXPECT_EQ(WndProc(fakeWindow, WM_PALETTECHANGED, WPARAM(fakeWindow), 0), fakeWin32.defWindowProcResult);
    EXPECT_EQ(win32CallNames(), (std::vector<std::string>(3, "DefWindowProcA")));
    EXPECT_EQ(idleFunc, nullptr);
}
