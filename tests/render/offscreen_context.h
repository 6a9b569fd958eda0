// An offscreen OpenGL context (Mesa's OSMesa) of a given size, with its frame read back.
#pragma once

#include <cstdlib>
#include <vector>

struct Pixel {
    int r, g, b;
    bool near(const Pixel& o, int tolerance) const {
        return std::abs(r - o.r) <= tolerance && std::abs(g - o.g) <= tolerance && std::abs(b - o.b) <= tolerance;
    }
};

class OffscreenContext {
public:
    OffscreenContext(int width, int height);
    ~OffscreenContext();
    OffscreenContext(const OffscreenContext&) = delete;
    OffscreenContext& operator=(const OffscreenContext&) = delete;

    bool ok() const { return context_ != nullptr; }
    // The pixel at (x, y), y counted from the top as a person sees the window.
    Pixel at(int x, int y) const;
    const std::vector<unsigned char>& rgba() const { return buffer_; }

private:
    int width_, height_;
    std::vector<unsigned char> buffer_;
    void* context_ = nullptr;
};
