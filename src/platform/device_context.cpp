// Device contexts, pixel formats and the buffer swap. Each window has its own device context,
// which holds the pixel format set on it; the one format there is is RGBA true colour in the
// display's layout, double buffered, with the depth buffer closest to the one asked for.
#include <cstring>

#include "platform/platform_internal.h"

namespace {

constexpr int subsetFormatCount = 1;
constexpr BYTE subsetWidestChannel = 8;
constexpr BYTE subsetPreferredDepthBits = 24;

// Bits and shift of one colour channel of the display, at most 8 bits wide.
void subsetChannel(uint32_t mask, BYTE* bits, BYTE* shift) {
    int count = 0;
    int lowest = 0;
    while (mask != 0 && (mask & 1) == 0) {
        mask >>= 1;
        ++lowest;
    }
    while ((mask & 1) != 0) {
        mask >>= 1;
        ++count;
    }
    const int kept = count < subsetWidestChannel ? count : subsetWidestChannel;
    *bits = static_cast<BYTE>(kept);
    *shift = static_cast<BYTE>(lowest + count - kept);  // a wider channel keeps its top bits
}

}  // namespace

PIXELFORMATDESCRIPTOR subsetDescribeFormat() {
    // The display's own channel layout; a palette or unknown display mode gets 8/8/8.
    uint32_t red = 0, green = 0, blue = 0;
    backendChannelMasks(&red, &green, &blue);
    if (red == 0 || green == 0 || blue == 0) {
        red = 0x00FF0000;
        green = 0x0000FF00;
        blue = 0x000000FF;
    }
    PIXELFORMATDESCRIPTOR format{};
    format.nSize = sizeof(PIXELFORMATDESCRIPTOR);
    format.nVersion = 1;
    format.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
    format.iPixelType = PFD_TYPE_RGBA;
    subsetChannel(red, &format.cRedBits, &format.cRedShift);
    subsetChannel(green, &format.cGreenBits, &format.cGreenShift);
    subsetChannel(blue, &format.cBlueBits, &format.cBlueShift);
    format.cColorBits = static_cast<BYTE>(format.cRedBits + format.cGreenBits + format.cBlueBits);
    format.cDepthBits = subsetPreferredDepthBits;
    format.iLayerType = PFD_MAIN_PLANE;
    return format;
}

// The window's own device context; the same one every time.
HDC WINAPI GetDC(HWND handle) {
    SubsetWindow* window = subsetFindWindow(handle);
    return window != nullptr ? reinterpret_cast<HDC>(&window->deviceContext) : nullptr;
}

// A window's own device context stays with it; releasing it only checks that it is the window's.
int WINAPI ReleaseDC(HWND handle, HDC dc) {
    SubsetWindow* window = subsetFindWindow(handle);
    return window != nullptr && reinterpret_cast<HDC>(&window->deviceContext) == dc ? 1 : 0;
}

// Validates the whole window, which is all the subset's painting needs.
HDC WINAPI BeginPaint(HWND handle, PAINTSTRUCT* paint) {
    SubsetWindow* window = subsetFindWindow(handle);
    if (window == nullptr || paint == nullptr) {
        return nullptr;
    }
    window->paintPending = false;
    std::memset(paint, 0, sizeof(*paint));
    paint->hdc = reinterpret_cast<HDC>(&window->deviceContext);
    paint->rcPaint = RECT{0, 0, window->width, window->height};
    return paint->hdc;
}

BOOL WINAPI EndPaint(HWND handle, const PAINTSTRUCT*) {
    return subsetFindWindow(handle) != nullptr ? TRUE : FALSE;
}

// Every request gets the one format, the closest the subset has; without OpenGL there is none.
int WINAPI ChoosePixelFormat(HDC dc, const PIXELFORMATDESCRIPTOR* descriptor) {
    if (subsetFindWindowByDeviceContext(dc) == nullptr || descriptor == nullptr || !backendGlAvailable()) {
        return 0;
    }
    return subsetFormatCount;
}

// Sets the format once, as Windows allows, by making the window's native window with OpenGL; the
// device context then describes the depth buffer that window got. FALSE, with no format set,
// where no such window can be made.
BOOL WINAPI SetPixelFormat(HDC dc, int format, const PIXELFORMATDESCRIPTOR* descriptor) {
    SubsetWindow* window = subsetFindWindowByDeviceContext(dc);
    if (window == nullptr || format < 1 || format > subsetFormatCount) {
        return FALSE;
    }
    SubsetDeviceContext& context = window->deviceContext;
    if (context.pixelFormat != 0) {
        return context.pixelFormat == format ? TRUE : FALSE;
    }
    if (!backendGlAvailable()) {
        return FALSE;
    }
    const BYTE depthBits = subsetRealiseGlWindow(window, descriptor != nullptr ? descriptor->cDepthBits : 0);
    if (depthBits == 0) {
        return FALSE;
    }
    context.format = subsetDescribeFormat();
    context.format.cDepthBits = depthBits;
    context.pixelFormat = format;
    return TRUE;
}

int WINAPI GetPixelFormat(HDC dc) {
    SubsetWindow* window = subsetFindWindowByDeviceContext(dc);
    return window != nullptr ? window->deviceContext.pixelFormat : 0;
}

// Fills in the format (as much of it as `bytes` allows) and returns the number of formats: the
// device context's own once it is set, else the one it would get.
int WINAPI DescribePixelFormat(HDC dc, int format, UINT bytes, PIXELFORMATDESCRIPTOR* descriptor) {
    SubsetWindow* window = subsetFindWindowByDeviceContext(dc);
    if (window == nullptr) {
        return 0;
    }
    if (descriptor == nullptr) {
        return subsetFormatCount;
    }
    if (format < 1 || format > subsetFormatCount) {
        return 0;
    }
    const SubsetDeviceContext& context = window->deviceContext;
    const PIXELFORMATDESCRIPTOR described =
        context.pixelFormat == format ? context.format : subsetDescribeFormat();
    std::memcpy(descriptor, &described, bytes < sizeof(described) ? bytes : sizeof(described));
    return subsetFormatCount;
}

BOOL WINAPI SwapBuffers(HDC dc) {
    SubsetWindow* window = subsetFindWindowByDeviceContext(dc);
    if (window == nullptr || !window->nativeHasGl) {
        return FALSE;
    }
    backendSwapBuffers(window->native);
    return TRUE;
}
