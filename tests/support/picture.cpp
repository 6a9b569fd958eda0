// Counting and boxing pixels, and writing PNG files through stb.
#include "tests/support/picture.h"

#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb/stb_image_write.h>

#include <algorithm>
#include <filesystem>

namespace e2e {

bool isFront(Rgb c) { return c.r > c.g + 20; }
bool isBack(Rgb c) { return c.g > c.r + 20; }

std::string Rect::describe() const {
    return std::to_string(width) + "x" + std::to_string(height) + " at (" + std::to_string(x) + ", " +
           std::to_string(y) + ")";
}

int Image::count(const std::function<bool(Rgb)>& test, Rect area) const {
    if (area.width == 0) area = {0, 0, width, height};
    int n = 0;
    for (int y = area.y; y < area.y + area.height; ++y)
        for (int x = area.x; x < area.x + area.width; ++x) n += test(at(x, y));
    return n;
}

std::optional<Rect> Image::box(const std::function<bool(Rgb)>& test) const {
    int left = width, top = height, right = -1, bottom = -1;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            if (test(at(x, y)))
                left = std::min(left, x), top = std::min(top, y), right = std::max(right, x), bottom = y;
    return right < 0 ? std::nullopt
                     : std::optional<Rect>(Rect{left, top, right - left + 1, bottom - top + 1});
}

void Image::savePng(const std::string& path) const {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    stbi_write_png(path.c_str(), width, height, 3, pixels.data(), width * 3);
}

}  // namespace e2e
