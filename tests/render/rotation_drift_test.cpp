// A long spin through a real OpenGL implementation: the accumulated matrix stays a rotation.
#include "scene/scene.h"
#include "scene/viewer_state.h"
#include "tests/render/offscreen_context.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

namespace {

// Largest departure of the 3x3 part from orthonormal: max |M^T M - I|.
double departureFromRotation(const float* m) {
    double worst = 0;
    for (int a = 0; a < 3; ++a) {
        for (int b = 0; b < 3; ++b) {
            double dot = 0;
            for (int i = 0; i < 3; ++i) dot += double(m[4 * a + i]) * m[4 * b + i];
            worst = std::fmax(worst, std::fabs(dot - (a == b ? 1.0 : 0.0)));
        }
    }
    return worst;
}

double determinant(const float* m) {
    return double(m[0]) * (double(m[5]) * m[10] - double(m[9]) * m[6]) -
           double(m[4]) * (double(m[1]) * m[10] - double(m[9]) * m[2]) +
           double(m[8]) * (double(m[1]) * m[6] - double(m[5]) * m[2]);
}

class LongSpin : public ::testing::Test {
protected:
    OffscreenContext context{64, 64};

    void SetUp() override {
        ASSERT_TRUE(context.ok());
        windowWidth = windowHeight = 64;
        initScene();
        spinAngle = 2.0f;
        spinAxis = {0.3f, 0.2f, 0.4f};
    }
};

TEST_F(LongSpin, AMillionStepsStayARotation) {
    for (int step = 0; step < 1000000; ++step) accumulateRotation();
    EXPECT_LT(departureFromRotation(rotationMatrix), 1e-5);
    EXPECT_NEAR(determinant(rotationMatrix), 1.0, 1e-5);
    const float* m = rotationMatrix;
    for (int i : {3, 7, 11, 12, 13, 14}) EXPECT_EQ(m[i], 0.0f) << i;
    EXPECT_EQ(m[15], 1.0f);
}

TEST_F(LongSpin, ZeroAxisOrAngleLeavesTheMatrixBitForBit) {
    for (int step = 0; step < 10; ++step) accumulateRotation();
    float before[16];
    std::memcpy(before, rotationMatrix, sizeof before);

    spinAxis = {0, 0, 0};
    accumulateRotation();
    EXPECT_EQ(std::memcmp(before, rotationMatrix, sizeof before), 0) << "zero axis";

    spinAxis = {0.3f, 0.2f, 0.4f};
    spinAngle = 0.0f;
    accumulateRotation();
    EXPECT_EQ(std::memcmp(before, rotationMatrix, sizeof before), 0) << "zero angle";
}

}  // namespace
