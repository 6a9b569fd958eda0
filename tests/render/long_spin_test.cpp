// A million rotation steps on Mesa's offscreen renderer stay a rotation.
#include "scene/scene.h"
#include "scene/viewer_state.h"
#include "tests/render/offscreen.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

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
