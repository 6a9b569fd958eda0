// Pictures as people see them: colours, rectangles, and images read back from a screen or from
// an offscreen renderer, with the counts and boxes the tests judge them by; PNG files through stb.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace e2e {

struct Rgb {
    uint8_t r = 0, g = 0, b = 0;
    bool near(Rgb o, int t) const {
        return std::abs(r - o.r) <= t && std::abs(g - o.g) <= t && std::abs(b - o.b) <= t;
    }
    bool operator==(const Rgb& o) const { return r == o.r && g == o.g && b == o.b; }
};

// The viewer's colours: its clear colours 0.15 and (0.5, 0.25, 0.25), and its lit sides, the front
// pinkish and the back greenish.
const Rgb grey = {38, 38, 38}, fogRed = {128, 64, 64};
bool isFront(Rgb c);
bool isBack(Rgb c);

struct Rect {
    int x = 0, y = 0, width = 0, height = 0;
    std::string describe() const;  // "WxH at (x, y)"
};

struct Image {
    int width = 0, height = 0;
    std::vector<Rgb> pixels;  // rows from the top
    Rgb at(int x, int y) const { return pixels[size_t(y) * width + x]; }
    bool operator==(const Image& o) const { return width == o.width && pixels == o.pixels; }
    bool operator!=(const Image& o) const { return !(*this == o); }
    // The pixels inside `area` (all if empty) for which `test` holds, and the box around them.
    int count(const std::function<bool(Rgb)>& test, Rect area = {}) const;
    std::optional<Rect> box(const std::function<bool(Rgb)>& test) const;
    void savePng(const std::string& path) const;
};

}  // namespace e2e
