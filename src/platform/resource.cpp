// Resources: the program's one icon (its RGBA pixels, linked into the program) and stock icons
// and cursors, which the subset leaves to the backend's defaults.
#include "platform/icon_pixels.h"
#include "platform/platform_internal.h"

namespace {

const SubsetIcon subsetProgramIcon = {iconPixels, iconSize};
const SubsetIcon subsetStockIcon = {nullptr, 0};
const char subsetStockCursor = 0;

}  // namespace

// An icon asked of the program's instance is the program's icon (it has just the one); an icon
// asked of no instance is a stock icon (IDI_APPLICATION and the like).
HICON WINAPI LoadIconA(HINSTANCE instance, LPCSTR) {
    const SubsetIcon* icon = instance != nullptr ? &subsetProgramIcon : &subsetStockIcon;
    return reinterpret_cast<HICON>(const_cast<SubsetIcon*>(icon));
}

// Every cursor is the system's arrow.
HCURSOR WINAPI LoadCursorA(HINSTANCE, LPCSTR) {
    return reinterpret_cast<HCURSOR>(const_cast<char*>(&subsetStockCursor));
}
