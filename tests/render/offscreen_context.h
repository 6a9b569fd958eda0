// An offscreen OpenGL context (Mesa's OSMesa) of a given size, with the frame read back as RGB.
#pragma once

#include <string>
#include <vector>

struct Pixel {
    int r, g, b;
};

class OffscreenContext {
public:
    OffscreenContext(int width, int height);
    ~OffscreenContext();
    OffscreenContext(const OffscreenContext&) = delete;
    OffscreenContext& operator=(const OffscreenContext&) = delete;

    bool ok() const { return context_ != nullptr; }
    int width() const { return width_; }
    int height() const { return height_; }

    // The pixel at (x, y), y counted from the top as a person sees the window.
    Pixel at(int x, int y) const;
    const std::vector<unsigned char>& rgba() const { return buffer_; }

    // Writes the frame as a binary PPM, for a person to look at.
    void save(const std::string& path) const;

private:
    int width_;
    int height_;
    std::vector<unsigned char> buffer_;
    void* context_ = nullptr;
};
