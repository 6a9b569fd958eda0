// Real frames from Mesa's offscreen renderer: what a person sees in an 819 x 819 window at rest,
// with fog and as outlines, and a million rotation steps that stay a rotation.
#include "scene/scene.h"
#include "scene/viewer_state.h"
#include "tests/render/offscreen.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

using namespace e2e;

struct Look {
    const char* what;
    int fog, wireframe;
    Rgb background;
};

const Look looks[] = {{"AtRest", 0, 0, grey}, {"WithFog", 1, 0, fogRed}, {"AsOutlines", 0, 1, grey}};

class Looks : public ::testing::TestWithParam<Look> {};

// The background all round the model (what is not background lies in its box), x within +-7.99589 and its
// height 0..15.707963 shifted down by 9, in a view 30 units across: 191.2 to 627.8 across, 226.4 to 655.2
// down. Without fog both sides show, the front pinkish and the back greenish; as outlines the background
// shows between the lines.
TEST_P(Looks, ShowWhatAPersonExpects) {
    const Look& look = GetParam();
    Offscreen gl(819);
    ASSERT_TRUE(gl.ok()) << "no offscreen OpenGL";
    fogEnabled = look.fog, wireframe = look.wireframe;
    const Image seen = gl.frame();
    fogEnabled = wireframe = 0;
    const auto isBackground = [&](Rgb c) { return c.near(look.background, 2); };
    const Rect model = seen.box([&](Rgb c) { return !isBackground(c); }).value_or(Rect{});
    EXPECT_TRUE(std::abs(model.x - 191) <= 3 && std::abs(model.x + model.width - 628) <= 3 &&
                std::abs(model.y - 226) <= 3 && std::abs(model.y + model.height - 655) <= 3)
        << model.describe();
    EXPECT_TRUE(look.fog == 1 || (seen.count(isFront) > 1000 && seen.count(isBack) > 1000)) << "both sides";
    EXPECT_EQ(seen.count(isBackground, model) > model.width * model.height / 2, look.wireframe == 1)
        << "outlines";
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
