// Logical palettes. The subset's one pixel format is true colour, so a palette never changes
// what is drawn; palettes still hold their entries and are selected and realised as on Windows.
#include "platform/platform_internal.h"

namespace {

// What a device context holds before a palette is selected into it.
SubsetPalette subsetDefaultPalette;

std::vector<std::unique_ptr<SubsetPalette>> subsetPalettes;

SubsetPalette* subsetFindPalette(HPALETTE palette) {
    if (palette == reinterpret_cast<HPALETTE>(&subsetDefaultPalette)) {
        return &subsetDefaultPalette;
    }
    for (const auto& made : subsetPalettes) {
        if (reinterpret_cast<HPALETTE>(made.get()) == palette) {
            return made.get();
        }
    }
    return nullptr;
}

// The palette selected into a device context.
HPALETTE subsetSelectedPalette(const SubsetWindow* window) {
    HPALETTE selected = window->deviceContext.palette;
    return selected != nullptr ? selected : reinterpret_cast<HPALETTE>(&subsetDefaultPalette);
}

}  // namespace

HPALETTE WINAPI CreatePalette(const LOGPALETTE* palette) {
    if (palette == nullptr || palette->palNumEntries == 0) {
        return nullptr;
    }
    auto made = std::make_unique<SubsetPalette>();
    made->entries.assign(palette->palPalEntry, palette->palPalEntry + palette->palNumEntries);
    subsetPalettes.push_back(std::move(made));
    return reinterpret_cast<HPALETTE>(subsetPalettes.back().get());
}

// Selects the palette into the device context and returns the one it replaces.
HPALETTE WINAPI SelectPalette(HDC dc, HPALETTE palette, BOOL) {
    SubsetWindow* window = subsetFindWindowByDeviceContext(dc);
    if (window == nullptr || subsetFindPalette(palette) == nullptr) {
        return nullptr;
    }
    HPALETTE previous = subsetSelectedPalette(window);
    window->deviceContext.palette = palette;
    return previous;
}

// Returns how many entries of the selected palette were mapped: all of them, on true colour.
UINT WINAPI RealizePalette(HDC dc) {
    SubsetWindow* window = subsetFindWindowByDeviceContext(dc);
    if (window == nullptr) {
        return 0;
    }
    return static_cast<UINT>(subsetFindPalette(subsetSelectedPalette(window))->entries.size());
}

BOOL WINAPI UnrealizeObject(HGDIOBJ object) {
    return subsetFindPalette(static_cast<HPALETTE>(object)) != nullptr ? TRUE : FALSE;
}
