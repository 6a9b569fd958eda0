// Start-up, the screen and the clock in a browser: the screen is the page's viewport, counted in
// device pixels, and the clock is the page's own (performance.now).
#include <emscripten/emscripten.h>
#include <emscripten/html5.h>

#include <cmath>

#include "platform/web/web_backend.h"

void backendStart() { webListen(); }

double webPixelRatio() { return emscripten_get_device_pixel_ratio(); }

void backendScreenSize(int* width, int* height) {
    *width = static_cast<int>(std::lround(webViewportWidth() * webPixelRatio()));
    *height = static_cast<int>(std::lround(webViewportHeight() * webPixelRatio()));
}

// Canvases are 8 bits a channel, red in the low byte of a pixel as WebGL reads them back.
void backendChannelMasks(uint32_t* red, uint32_t* green, uint32_t* blue) {
    *red = 0x000000FF;
    *green = 0x0000FF00;
    *blue = 0x00FF0000;
}

uint64_t backendMilliseconds() { return static_cast<uint64_t>(emscripten_get_now()); }
