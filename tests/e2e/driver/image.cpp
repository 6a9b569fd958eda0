// Image measurements and PNG output (libpng).
#include "driver/image.h"

#include <png.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <stdexcept>

namespace e2e {

namespace {

Rect clipped(const Image& image, const Rect& area) {
    return area.empty() ? image.bounds() : area.intersect(image.bounds());
}

}  // namespace

bool Rgb::near(const Rgb& other, int tolerance) const {
    return std::abs(r - other.r) <= tolerance && std::abs(g - other.g) <= tolerance &&
           std::abs(b - other.b) <= tolerance;
}

std::string Rgb::describe() const {
    return "(" + std::to_string(r) + ", " + std::to_string(g) + ", " + std::to_string(b) + ")";
}

Rect Rect::intersect(const Rect& other) const {
    const int left = std::max(x, other.x);
    const int top = std::max(y, other.y);
    const int rightEdge = std::min(right(), other.right());
    const int bottomEdge = std::min(bottom(), other.bottom());
    if (rightEdge <= left || bottomEdge <= top)
        return {left, top, 0, 0};
    return {left, top, rightEdge - left, bottomEdge - top};
}

Rect Rect::inset(int left, int top, int rightMargin, int bottomMargin) const {
    return {x + left, y + top, width - left - rightMargin, height - top - bottomMargin};
}

std::string Rect::describe() const {
    return std::to_string(width) + "x" + std::to_string(height) + " at (" + std::to_string(x) + ", " +
           std::to_string(y) + ")";
}

Image Image::crop(const Rect& area) const {
    const Rect part = area.intersect(bounds());
    Image result(std::max(part.width, 0), std::max(part.height, 0));
    for (int y = 0; y < result.height(); ++y)
        for (int x = 0; x < result.width(); ++x)
            result.set(x, y, at(part.x + x, part.y + y));
    return result;
}

void Image::savePng(const std::string& path) const {
    const std::filesystem::path parent = std::filesystem::path(path).parent_path();
    if (!parent.empty())
        std::filesystem::create_directories(parent);

    std::unique_ptr<FILE, int (*)(FILE*)> file(std::fopen(path.c_str(), "wb"), &std::fclose);
    if (!file)
        throw std::runtime_error("cannot write " + path);
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!info) {
        png_destroy_write_struct(&png, nullptr);
        throw std::runtime_error("libpng: out of memory");
    }
    std::vector<png_bytep> rows(static_cast<size_t>(height_));
    // Rgb is three bytes, laid out as PNG wants them.
    static_assert(sizeof(Rgb) == 3, "Rgb must be packed");
    auto* bytes = reinterpret_cast<png_bytep>(const_cast<Rgb*>(pixels_.data()));
    for (int y = 0; y < height_; ++y)
        rows[static_cast<size_t>(y)] = bytes + static_cast<size_t>(y) * width_ * 3;
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        throw std::runtime_error("libpng failed writing " + path);
    }
    png_init_io(png, file.get());
    png_set_IHDR(png, info, static_cast<png_uint_32>(width_), static_cast<png_uint_32>(height_), 8, PNG_COLOR_TYPE_RGB,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    png_write_image(png, rows.data());
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
}

std::size_t countPixels(const Image& image, const PixelTest& test, Rect area) {
    const Rect part = clipped(image, area);
    std::size_t count = 0;
    for (int y = part.y; y < part.bottom(); ++y)
        for (int x = part.x; x < part.right(); ++x)
            if (test(image.at(x, y)))
                ++count;
    return count;
}

std::optional<Rect> boundingBox(const Image& image, const PixelTest& test, Rect area) {
    const Rect part = clipped(image, area);
    int left = part.right(), top = part.bottom(), right = part.x - 1, bottom = part.y - 1;
    for (int y = part.y; y < part.bottom(); ++y)
        for (int x = part.x; x < part.right(); ++x)
            if (test(image.at(x, y))) {
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
    if (right < left)
        return std::nullopt;
    return Rect{left, top, right - left + 1, bottom - top + 1};
}

std::size_t differingPixels(const Image& a, const Image& b, int tolerance) {
    if (a.width() != b.width() || a.height() != b.height())
        throw std::invalid_argument("differingPixels: images differ in size");
    std::size_t count = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if (!a.at(x, y).near(b.at(x, y), tolerance))
                ++count;
    return count;
}

Rgb dominantColour(const Image& image, Rect area) {
    const Rect part = clipped(image, area);
    std::map<std::uint32_t, std::size_t> counts;
    for (int y = part.y; y < part.bottom(); ++y)
        for (int x = part.x; x < part.right(); ++x) {
            const Rgb c = image.at(x, y);
            ++counts[(std::uint32_t(c.r) << 16) | (std::uint32_t(c.g) << 8) | c.b];
        }
    if (counts.empty())
        return {};
    const auto best = std::max_element(counts.begin(), counts.end(),
                                       [](const auto& a, const auto& b) { return a.second < b.second; });
    return {std::uint8_t(best->first >> 16), std::uint8_t(best->first >> 8), std::uint8_t(best->first)};
}

PixelTest near(Rgb colour, int tolerance) {
    return [colour, tolerance](Rgb pixel) {
        return pixel.near(colour, tolerance);
    };
}

}  // namespace e2e
