// The logical palette: on palette displays OpenGL's RGBA output is only right when each pixel
// value maps to the colour OpenGL assumes, so the palette spreads each channel's levels evenly
// over 0 to 255 following the format's bit layout.
#include "gl/palette.h"

#include "scene/redraw.h"
#include "scene/viewer_state.h"

#include <cstddef>
#include <memory>
#include <new>

namespace {

const WORD logicalPaletteVersion = 0x300;

// Palette formats are 8-bit in practice; a deeper one would need more entries than a logical
// palette can count (palNumEntries is 16 bits), so none is made for it.
const BYTE maximumPaletteBits = 8;

// Channel sizes beyond this are clamped: no real format has them, and the clamp keeps the
// shift and the products below defined for any descriptor the platform hands back.
const int maximumChannelBits = 16;

// The level of one channel for a palette index below 2^maximumPaletteBits. A channel of zero
// bits has no levels and contributes 0.
BYTE channelLevel(int index, BYTE bits, BYTE shift) {
    if (bits == 0) return 0;
    const int mask = (1 << (bits < maximumChannelBits ? bits : maximumChannelBits)) - 1;
    const int value = shift < maximumPaletteBits ? (index >> shift) & mask : 0;
    return BYTE(value * 255 / mask);
}

}  // namespace

void setupPalette(HDC dc) {
    PIXELFORMATDESCRIPTOR format = {};
    DescribePixelFormat(dc, GetPixelFormat(dc), sizeof(PIXELFORMATDESCRIPTOR), &format);
    if (!(format.dwFlags & PFD_NEED_PALETTE) && format.iPixelType != PFD_TYPE_COLORINDEX) return;
    if (format.cColorBits > maximumPaletteBits) return;

    // LOGPALETTE already holds one entry; the block holds the rest after it. A block that
    // cannot be had means no palette, as on a true-colour display.
    const int count = 1 << format.cColorBits;
    const std::size_t bytes = sizeof(LOGPALETTE) + (count - 1) * sizeof(PALETTEENTRY);
    std::unique_ptr<unsigned char[]> block(new (std::nothrow) unsigned char[bytes]);
    if (!block) return;
    LOGPALETTE* palette = reinterpret_cast<LOGPALETTE*>(block.get());
    palette->palVersion = logicalPaletteVersion;
    palette->palNumEntries = WORD(count);
    for (int i = 0; i < count; ++i) {
        PALETTEENTRY& entry = palette->palPalEntry[i];
        entry.peRed = channelLevel(i, format.cRedBits, format.cRedShift);
        entry.peGreen = channelLevel(i, format.cGreenBits, format.cGreenShift);
        entry.peBlue = channelLevel(i, format.cBlueBits, format.cBlueShift);
        entry.peFlags = 0;
    }

    hPalette = CreatePalette(palette);
    block.reset();
    if (hPalette != nullptr) {
        SelectPalette(dc, hPalette, FALSE);
        RealizePalette(dc);
    }
}

void realizePalette() {
    UnrealizeObject(hPalette);
    SelectPalette(hDC, hPalette, FALSE);
    RealizePalette(hDC);
    requestRedraw();
}
