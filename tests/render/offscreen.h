// Mesa's offscreen renderer (OSMesa) as the current OpenGL context, a square of a given side, with
// the scene set up for it; frame() draws one frame and reads it back as a person would see it.
#pragma once

#include "tests/e2e/driver.h"

class Offscreen {
public:
    explicit Offscreen(int side);
    ~Offscreen();
    Offscreen(const Offscreen&) = delete;
    Offscreen& operator=(const Offscreen&) = delete;
    bool ok() const { return context_ != nullptr; }
    e2e::Image frame();

private:
    int side_;
    std::vector<unsigned char> buffer_;
    void* context_ = nullptr;
};
