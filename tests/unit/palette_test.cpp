// The logical palette made for the pixel format in use: whether one is made, and its entries.
#include "gl/palette.h"
#include "scene/viewer_state.h"
#include "tests/support/recorder.h"

#include <gtest/gtest.h>

#include <array>
#include <new>

namespace {

bool failAllocation = false;  // makes the palette's memory unobtainable
const DWORD window = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER, paletted = window | PFD_NEED_PALETTE;

struct PaletteCase {
    const char* what;
    PIXELFORMATDESCRIPTOR format;  // flags, type, colour bits, red bits and shift, green, blue
    bool failAllocation;
    int count;                                 // entries, or 0 for no palette
    std::vector<std::array<int, 4>> entries;  // index, red, green, blue
};

PIXELFORMATDESCRIPTOR format(DWORD flags, BYTE type, BYTE bits, BYTE r, BYTE rShift, BYTE g, BYTE gShift, BYTE b, BYTE bShift) {
    return {40, 1, flags, type, bits, r, rShift, g, gShift, b, bShift, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
}

// 3-3-2: red and green in steps of 255/7, blue in steps of 255/3, truncated.
const PaletteCase cases[] = {
    {"A332FormatSpreadsEachChannelEvenly", format(paletted, PFD_TYPE_RGBA, 8, 3, 0, 3, 3, 2, 6), false, 256,
     {{0, 0, 0, 0}, {255, 255, 255, 255}, {0x53, 109, 72, 85}, {0x87, 255, 0, 170}}},
    {"AColourIndexFormatGetsOneToo", format(window, PFD_TYPE_COLORINDEX, 8, 3, 0, 3, 3, 2, 6), false, 256, {{255, 255, 255, 255}}},
    {"AChannelOfZeroBitsIsZeroInEveryEntry", format(paletted, PFD_TYPE_RGBA, 8, 3, 0, 3, 3, 0, 6), false, 256,
     {{255, 255, 255, 0}, {0x87, 255, 0, 0}}},
    {"TrueColourNeedsNone", format(window, PFD_TYPE_RGBA, 24, 8, 16, 8, 8, 8, 0), false, 0, {}},
    {"APaletteFormatDeeperThanAPaletteCanCountGetsNone", format(paletted, PFD_TYPE_RGBA, 16, 5, 0, 6, 5, 5, 11), false, 0, {}},
    {"NoPaletteWhenItsMemoryCannotBeHad", format(paletted, PFD_TYPE_RGBA, 8, 3, 0, 3, 3, 2, 6), true, 0, {}},
};

class Palettes : public ::testing::TestWithParam<PaletteCase> {};

TEST_P(Palettes, FollowThePixelFormat) {
    const PaletteCase& c = GetParam();
    resetRecorder();
    fakeWin32.describedFormat = c.format;
    failAllocation = c.failAllocation;
    setupPalette(fakeDC);
    failAllocation = false;
    std::vector<std::string> calls = {"GetPixelFormat 2", "DescribePixelFormat 2 7 40"};
    if (c.count > 0) calls.insert(calls.end(), {"CreatePalette 768 " + std::to_string(c.count), "SelectPalette 2 4 0", "RealizePalette 2"});
    EXPECT_EQ(trace, calls);
    EXPECT_EQ(hPalette, c.count > 0 ? fakePalette : nullptr);
    EXPECT_EQ(idleFunc, nullptr) << "making the palette draws nothing";
    for (const auto& e : c.entries) {
        const PALETTEENTRY& entry = fakeWin32.palette.at(e[0]);
        EXPECT_EQ((std::array<int, 5>{e[0], entry.peRed, entry.peGreen, entry.peBlue, entry.peFlags}), (std::array<int, 5>{e[0], e[1], e[2], e[3], 0}));
    }
}

INSTANTIATE_TEST_SUITE_P(Formats, Palettes, ::testing::ValuesIn(cases), [](const auto& info) { return std::string(info.param.what); });

}  // namespace

// The palette's memory comes from the nothrow array form, which a case can make fail.
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
    if (failAllocation) return nullptr;
    try {
        return ::operator new[](size);
    } catch (...) {
        return nullptr;
    }
}
