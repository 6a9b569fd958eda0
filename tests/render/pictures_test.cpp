// Real frames from Mesa's offscreen renderer: what a person sees in each state of an 819 x 819
// window, and a million rotation steps that stay a rotation drawn at the right size.
#include "scene/scene.h"
#include "scene/viewer_state.h"
#include "tests/render/offscreen.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

using e2e::Image;
using e2e::Rgb;

const Rgb grey = {38, 38, 38};      // the clear colour 0.15
const Rgb fogRed = {128, 64, 64};  // the fog's clear colour (0.5, 0.25, 0.25)

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
    const e2e::Rect model = resting.box([](Rgb c) { return !c.near(grey, 2); }).value_or(e2e::Rect{});
    EXPECT_TRUE(std::abs(model.x - 191) <= 3 && std::abs(model.x + model.width - 628) <= 3 && std::abs(model.y - 226) <= 3 &&
                std::abs(model.y + model.height - 655) <= 3) << model.describe();

    fogEnabled = look.fog, wireframe = look.wireframe, spinning = look.spinning, spinAxis = look.axis;
    const Image seen = gl.frame();
    EXPECT_EQ(seen == resting, look.sameAsResting);
    for (int corner : {0, 818}) EXPECT_TRUE(seen.at(corner, corner).near(look.background, 1) && seen.at(corner, 818 - corner).near(look.background, 1));
    EXPECT_GT(seen.count([&](Rgb c) { return !c.near(look.background, 2); }), 819 * 819 / 20) << "the model is drawn";
    if (look.fog == 0 && look.wireframe == 0) {  // both sides, the front pinkish, the back greenish
        EXPECT_GT(seen.count([](Rgb c) { return c.r > c.g + 20; }), 5000);
        EXPECT_GT(seen.count([](Rgb c) { return c.g > c.r + 20; }), 5000);
    }
    const auto between = [&](const Image& p) { return p.count([](Rgb c) { return c.near(grey, 2); }, model); };
    EXPECT_EQ(between(seen) > between(resting) + model.width * model.height / 5, look.wireframe == 1) << "outlines";
    fogEnabled = wireframe = spinning = 0;
    EXPECT_EQ(gl.frame() == resting, !look.spinning || look.sameAsResting) << "back to the first look";
}

INSTANTIATE_TEST_SUITE_P(States, Looks, ::testing::ValuesIn(looks), [](const auto& info) { return std::string(info.param.what); });

// A matrix grown by 1 % would draw the model 2 % larger than the exact rotation it stands for;
// that one is the same matrix made orthonormal again (Gram-Schmidt in double).
TEST(LongSpin, AMillionStepsStayARotationOfTheRightSize) {
    Offscreen gl(256);
    ASSERT_TRUE(gl.ok());
    for (int step = 0; step < 1000000; ++step) accumulateRotation();
    double c[3][3];
    for (int k = 0; k < 9; ++k) c[k / 3][k % 3] = rotationMatrix[4 * (k / 3) + k % 3];
    auto dot = [&](int a, int b) { return c[a][0] * c[b][0] + c[a][1] * c[b][1] + c[a][2] * c[b][2]; };
    for (int k = 0; k < 9; ++k) EXPECT_NEAR(dot(k / 3, k % 3), k / 3 == k % 3, 1e-5) << k;
    for (int i : {3, 7, 11, 12, 13, 14}) EXPECT_EQ(rotationMatrix[i], 0.0f) << i;
    EXPECT_EQ(rotationMatrix[15], 1.0f);

    const auto model = [](Rgb p) { return !p.near(grey, 1); };
    const Image spun = gl.frame();
    const double along = dot(0, 1) / dot(0, 0);
    for (int i = 0; i < 3; ++i) c[1][i] -= along * c[0][i];
    for (int k : {0, 1}) {
        const double length = std::sqrt(dot(k, k));
        for (double& v : c[k]) v /= length;
    }
    for (int i = 0; i < 3; ++i) c[2][i] = c[0][(i + 1) % 3] * c[1][(i + 2) % 3] - c[0][(i + 2) % 3] * c[1][(i + 1) % 3];
    for (int k = 0; k < 9; ++k) rotationMatrix[4 * (k / 3) + k % 3] = float(c[k / 3][k % 3]);
    const Image exact = gl.frame();
    const e2e::Rect a = spun.box(model).value_or(e2e::Rect{}), b = exact.box(model).value_or(e2e::Rect{});
    ASSERT_GT(b.width, 50) << "the model is missing";
    EXPECT_TRUE(std::abs(a.x - b.x) <= 1 && std::abs(a.y - b.y) <= 1 && std::abs(a.width - b.width) <= 1 && std::abs(a.height - b.height) <= 1)
        << a.describe() << " against " << b.describe();
    EXPECT_NEAR(spun.count(model), exact.count(model), exact.count(model) / 200);
}

}  // namespace
