// Screenshots as plain RGB buffers, with the measurements tests make on them and PNG output.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace e2e {

struct Rgb {
    std::uint8_t r = 0, g = 0, b = 0;

    bool operator==(const Rgb& other) const { return r == other.r && g == other.g && b == other.b; }
    bool operator!=(const Rgb& other) const { return !(*this == other); }
    // True when every channel differs by at most `tolerance`.
    bool near(const Rgb& other, int tolerance) const;
    std::string describe() const;  // "(r, g, b)"
};

struct Rect {
    int x = 0, y = 0, width = 0, height = 0;

    bool operator==(const Rect& other) const {
        return x == other.x && y == other.y && width == other.width && height == other.height;
    }
    bool empty() const { return width <= 0 || height <= 0; }
    int right() const { return x + width; }    // one past the last column
    int bottom() const { return y + height; }  // one past the last row
    bool contains(int px, int py) const { return px >= x && py >= y && px < right() && py < bottom(); }
    // The part of this rectangle that lies inside `other`.
    Rect intersect(const Rect& other) const;
    // This rectangle shrunk by the given margins on each side.
    Rect inset(int left, int top, int rightMargin, int bottomMargin) const;
    std::string describe() const;  // "WxH at (x, y)"
};

class Image {
public:
    Image() = default;
    Image(int width, int height) : width_(width), height_(height), pixels_(static_cast<size_t>(width) * height) {}

    int width() const { return width_; }
    int height() const { return height_; }
    bool empty() const { return pixels_.empty(); }
    Rect bounds() const { return {0, 0, width_, height_}; }

    Rgb at(int x, int y) const { return pixels_[static_cast<size_t>(y) * width_ + x]; }
    void set(int x, int y, Rgb colour) { pixels_[static_cast<size_t>(y) * width_ + x] = colour; }

    // A copy of the part inside `area` (clipped to the image).
    Image crop(const Rect& area) const;
    // Writes an 8-bit RGB PNG, creating missing parent directories. Throws on failure.
    void savePng(const std::string& path) const;

    bool operator==(const Image& other) const {
        return width_ == other.width_ && height_ == other.height_ && pixels_ == other.pixels_;
    }
    bool operator!=(const Image& other) const { return !(*this == other); }

private:
    int width_ = 0, height_ = 0;
    std::vector<Rgb> pixels_;
};

using PixelTest = std::function<bool(Rgb)>;

// Pixels inside `area` (the whole image if empty) for which `test` holds.
std::size_t countPixels(const Image& image, const PixelTest& test, Rect area = {});
// The smallest rectangle holding every pixel inside `area` for which `test` holds, if any.
std::optional<Rect> boundingBox(const Image& image, const PixelTest& test, Rect area = {});
// Pixels that differ by more than `tolerance` in some channel; images must be the same size.
std::size_t differingPixels(const Image& a, const Image& b, int tolerance = 0);
// The colour that occurs most often inside `area` (the whole image if empty).
Rgb dominantColour(const Image& image, Rect area = {});
// Pixels close to `colour` within `tolerance`.
PixelTest near(Rgb colour, int tolerance);

}  // namespace e2e
