// A long spin through a real OpenGL implementation: the accumulated matrix stays a rotation, and
// the model keeps its size on screen.
#include "scene/scene.h"
#include "scene/viewer_state.h"
#include "tests/render/offscreen_context.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
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

// The same rotation made exactly orthonormal again: Gram-Schmidt on the columns in double
// precision, the third column as the cross product of the first two.
void makeExactRotation(float* m) {
    double c[3][3];
    for (int k = 0; k < 3; ++k)
        for (int i = 0; i < 3; ++i) c[k][i] = m[4 * k + i];
    auto normalise = [](double* v) {
        const double length = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
        for (int i = 0; i < 3; ++i) v[i] /= length;
    };
    normalise(c[0]);
    const double along = c[1][0] * c[0][0] + c[1][1] * c[0][1] + c[1][2] * c[0][2];
    for (int i = 0; i < 3; ++i) c[1][i] -= along * c[0][i];
    normalise(c[1]);
    c[2][0] = c[0][1] * c[1][2] - c[0][2] * c[1][1];
    c[2][1] = c[0][2] * c[1][0] - c[0][0] * c[1][2];
    c[2][2] = c[0][0] * c[1][1] - c[0][1] * c[1][0];
    for (int k = 0; k < 3; ++k)
        for (int i = 0; i < 3; ++i) m[4 * k + i] = float(c[k][i]);
}

// Where the model is on screen: its pixels (those not of the background) and their bounds.
struct Extent {
    int pixels = 0;
    int left = 1 << 20, top = 1 << 20, right = -1, bottom = -1;
};

Extent modelExtent(const OffscreenContext& context) {
    const Pixel background = context.at(0, 0);
    Extent extent;
    for (int y = 0; y < context.height(); ++y) {
        for (int x = 0; x < context.width(); ++x) {
            const Pixel p = context.at(x, y);
            if (std::abs(p.r - background.r) + std::abs(p.g - background.g) + std::abs(p.b - background.b) <= 3)
                continue;
            ++extent.pixels;
            extent.left = std::min(extent.left, x);
            extent.top = std::min(extent.top, y);
            extent.right = std::max(extent.right, x);
            extent.bottom = std::max(extent.bottom, y);
        }
    }
    return extent;
}

class LongSpin : public ::testing::Test {
protected:
    static const int side = 256;
    OffscreenContext context{side, side};

    void SetUp() override {
        ASSERT_TRUE(context.ok());
        windowWidth = windowHeight = side;
        fogEnabled = wireframe = spinning = tracking = 0;
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

    // A matrix that had grown or shrunk would draw the model larger or smaller than the exact
    // rotation it stands for: at 256 pixels a 1 % drift changes the model's pixels by 2 %.
    renderFrame();
    const Extent spun = modelExtent(context);
    makeExactRotation(rotationMatrix);
    renderFrame();
    const Extent exact = modelExtent(context);
    ASSERT_GT(exact.pixels, side * side / 20) << "the model is missing from the picture";
    EXPECT_NEAR(spun.left, exact.left, 1);
    EXPECT_NEAR(spun.top, exact.top, 1);
    EXPECT_NEAR(spun.right, exact.right, 1);
    EXPECT_NEAR(spun.bottom, exact.bottom, 1);
    EXPECT_NEAR(spun.pixels, exact.pixels, exact.pixels / 200);
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
