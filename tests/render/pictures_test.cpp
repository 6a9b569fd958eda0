// Real frames from Mesa's offscreen renderer: what a person sees in each state of an 819 x 819
// window, and a million rotation steps that stay a rotation.
#include "scene/scene.h"
#include "scene/viewer_state.h"
#include "tests/render/offscreen.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

using namespace e2e;

struct Look {
    const char* what;
    int fog, wireframe, spinning;
    Vec3 axis;
    Rgb background;
    bool sameAsResting;
};

const Look looks[] = {
    {"AtRest", 0, 0, 0, {}, grey, true},
    {"WithFog", 1, 0, 0, {}, fogRed, false},
    {"AsOutlines", 0, 1, 0, {}, grey, false},
    {"Spinning", 0, 0, 1, {0.3f, 0.2f, 0.4f}, grey, false},
    {"SpinningAboutAZeroAxis", 0, 0, 1, {0, 0, 0}, grey, true},
};

class Looks : public ::testing::TestWithParam<Look> {};

TEST_P(Looks, ShowWhatAPersonExpects) {
    const Look& look = GetParam();
    Offscreen gl(819);
    ASSERT_TRUE(gl.ok()) << "no offscreen OpenGL";
    const Image resting = gl.frame();
    // The model, x within +-7.99589 and its height 0..15.707963 shifted down by 9, in a view 30
    // units across: 191.2 to 627.8 across, 226.4 to 655.2 down.
    const Rect model = resting.box([](Rgb c) { return !c.near(grey, 2); }).value_or(Rect{});
    EXPECT_TRUE(std::abs(model.x - 191) <= 3 && std::abs(model.x + model.width - 628) <= 3 &&
                std::abs(model.y - 226) <= 3 && std::abs(model.y + model.height - 655) <= 3)
        << model.describe();

    fogEnabled = look.fog, wireframe = look.wireframe, spinning = look.spinning, spinAxis = look.axis;
    const Image seen = gl.frame();
    EXPECT_EQ(seen == resting, look.sameAsResting);
    for (int corner : {0, 818})
        EXPECT_TRUE(seen.at(corner, corner).near(look.background, 1) &&
                    seen.at(corner, 818 - corner).near(look.background, 1));
    EXPECT_GT(seen.count([&](Rgb c) { return !c.near(look.background, 2); }), 819 * 819 / 20)
        << "the model is drawn";
    if (look.fog == 0 && look.wireframe == 0) {  // both sides, the front pinkish, the back greenish
        EXPECT_GT(seen.count(isFront), 5000);
        EXPECT_GT(seen.count(isBack), 5000);
    }
    const auto between = [&](const Image& p) {
        return p.count([](Rgb c) { return c.near(grey, 2); }, model);
    };
    EXPECT_EQ(between(seen) > between(resting) + model.width * model.height / 5, look.wireframe == 1)
        << "outlines";
    fogEnabled = wireframe = spinning = 0;
    EXPECT_EQ(gl.frame() == resting, !look.spinning || look.sameAsResting) << "back to the first look";
}

INSTANTIATE_TEST_SUITE_P(States, Looks, ::testing::ValuesIn(looks),
                         [](const auto& info) { return std::string(info.param.what); });

// The model's rotation is kept by multiplying in each frame's step: after a million steps it must
// still be a rotation (to 1e-5, which keeps the model's size to 0.001 %), not a matrix grown or
// skewed by rounding.
TEST(LongSpin, AMillionStepsStayARotation) {
    Offscreen gl(16);
    ASSERT_TRUE(gl.ok());
    for (int step = 0; step < 1000000; ++step) accumulateRotation();
    EXPECT_LT(rotationError(rotationMatrix), 1e-5);
}

}  // namespace
