// The model's rotation is kept by multiplying in each frame's step: after a million steps on
// Mesa's offscreen renderer it must still be a rotation (to 1e-5, which keeps the model's size to
// 0.001 %), not a matrix grown or skewed by rounding.
#include "scene/scene.h"
#include "scene/viewer_state.h"
#include "tests/render/offscreen.h"

#include <gtest/gtest.h>

TEST(LongSpin, AMillionStepsStayARotation) {
    Offscreen gl(16);
    ASSERT_TRUE(gl.ok()) << "no offscreen OpenGL";
    for (int step = 0; step < 1000000; ++step) accumulateRotation();
    EXPECT_LT(rotationError(rotationMatrix), 1e-5);
}
