// What a person sees in an 819 x 819 window in each state: real frames, rendered offscreen.
#include "scene/scene.h"
#include "scene/viewer_state.h"
#include "tests/render/offscreen_context.h"

#include <gtest/gtest.h>

namespace {

const int side = 819;
const Pixel grey = {38, 38, 38};      // the clear colour 0.15
const Pixel fogRed = {128, 64, 64};  // the fog's clear colour (0.5, 0.25, 0.25)

struct Box {
    int left = side, top = side, right = -1, bottom = -1;
    int area() const { return (right - left + 1) * (bottom - top + 1); }
};

struct Look {
    const char* what;
    int fog, wireframe, spinning;
    Vec3 axis;
    Pixel background;
    bool sameAsResting;
};

const Look looks[] = {
    {"at rest", 0, 0, 0, {}, grey, true},
    {"with fog", 1, 0, 0, {}, fogRed, false},
    {"as outlines", 0, 1, 0, {}, grey, false},
    {"spinning", 0, 0, 1, {0.3f, 0.2f, 0.4f}, grey, false},
    {"spinning about a zero axis", 0, 0, 1, {0, 0, 0}, grey, true},
};

class Looks : public ::testing::TestWithParam<Look> {
protected:
    OffscreenContext context{side, side};

    void SetUp() override {
        ASSERT_TRUE(context.ok()) << "no offscreen OpenGL context";
        windowWidth = windowHeight = side;
        initScene();
    }
    std::vector<unsigned char> frame(int fog, int outlines, int spin) {
        fogEnabled = fog, wireframe = outlines, spinning = spin;
        renderFrame();
        return context.rgba();
    }
    template <typename Test>
    int count(const Box& box, Test test) const {
        int n = 0;
        for (int y = box.top; y <= box.bottom; ++y)
            for (int x = box.left; x <= box.right; ++x) n += test(context.at(x, y));
        return n;
    }
};

TEST_P(Looks, ShowWhatAPersonExpects) {
    const Look& look = GetParam();
    const std::vector<unsigned char> resting = frame(0, 0, 0);
    const Box whole = {0, 0, side - 1, side - 1};
    Box model;
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x)
            if (!context.at(x, y).near(grey, 2))
                model = {std::min(model.left, x), std::min(model.top, y), std::max(model.right, x), std::max(model.bottom, y)};
    const int restingBackground = count(model, [](Pixel p) { return p.near(grey, 2); });

    spinAxis = look.axis;
    const bool same = frame(look.fog, look.wireframe, look.spinning) == resting;
    EXPECT_EQ(same, look.sameAsResting);
    for (Pixel corner : {context.at(0, 0), context.at(side - 1, 0), context.at(0, side - 1), context.at(side - 1, side - 1)})
        EXPECT_TRUE(corner.near(look.background, 1)) << corner.r << "," << corner.g << "," << corner.b;
    const int notBackground = count(whole, [&](Pixel p) { return !p.near(look.background, 2); });
    EXPECT_GT(notBackground, side * side / 20) << "the model is drawn";
    if (look.fog == 0 && look.wireframe == 0) {
        // Both sides show, each in its own colour: the front pinkish, the back greenish.
        EXPECT_GT(count(whole, [](Pixel p) { return p.r > p.g + 20; }), 5000);
        EXPECT_GT(count(whole, [](Pixel p) { return p.g > p.r + 20; }), 5000);
    }
    if (look.wireframe == 1) {
        const int between = count(model, [](Pixel p) { return p.near(grey, 2); });
        EXPECT_GT(between, restingBackground + model.area() / 5) << "outlines leave background between them";
    }
    EXPECT_EQ(frame(0, 0, 0) == resting, !look.spinning || look.sameAsResting) << "back to the first look";

    // At rest the model sits where the orthographic box puts it: x within +-7.99589 and its
    // height 0..15.707963 shifted down by 9, in a view 30 units across.
    const double scale = side / 30.0;
    EXPECT_NEAR(model.left, side / 2.0 - 7.99589 * scale, 3);
    EXPECT_NEAR(model.right, side / 2.0 + 7.99589 * scale, 3);
    EXPECT_NEAR(model.top, (15 - 6.707963) * scale, 3);
    EXPECT_NEAR(model.bottom, (15 + 9) * scale, 3);
}

INSTANTIATE_TEST_SUITE_P(States, Looks, ::testing::ValuesIn(looks), [](const auto& info) {
    std::string name;
    for (const char* c = info.param.what; *c; ++c)
        if (std::isalnum(static_cast<unsigned char>(*c))) name += *c;
    return name;
});

}  // namespace
