// A long spin through a real OpenGL: after a million steps the accumulated matrix is still a
// rotation, and the model is drawn at the size the exact rotation gives.
#include "scene/scene.h"
#include "scene/viewer_state.h"
#include "tests/render/offscreen_context.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

const int side = 256;

// The 3x3 part's columns in double precision.
struct Columns {
    double c[3][3];
    explicit Columns(const float* m) {
        for (int k = 0; k < 3; ++k)
            for (int i = 0; i < 3; ++i) c[k][i] = m[4 * k + i];
    }
    double dot(int a, int b) const { return c[a][0] * c[b][0] + c[a][1] * c[b][1] + c[a][2] * c[b][2]; }
};

// The model's pixels (those unlike the corner's background) and how far they reach.
struct Extent {
    int pixels = 0, left = side, top = side, right = -1, bottom = -1;
};

Extent drawnExtent(const OffscreenContext& context) {
    renderFrame();
    Extent e;
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x)
            if (!context.at(x, y).near(context.at(0, 0), 1)) {
                ++e.pixels;
                e.left = std::min(e.left, x), e.top = std::min(e.top, y);
                e.right = std::max(e.right, x), e.bottom = std::max(e.bottom, y);
            }
    return e;
}

TEST(LongSpin, AMillionStepsStayARotationOfTheRightSize) {
    OffscreenContext context(side, side);
    ASSERT_TRUE(context.ok());
    windowWidth = windowHeight = side;
    initScene();
    for (int step = 0; step < 1000000; ++step) accumulateRotation();

    const Columns m(rotationMatrix);
    for (int a = 0; a < 3; ++a)
        for (int b = 0; b < 3; ++b) EXPECT_NEAR(m.dot(a, b), a == b ? 1.0 : 0.0, 1e-5) << a << "," << b;
    for (int i : {3, 7, 11, 12, 13, 14}) EXPECT_EQ(rotationMatrix[i], 0.0f) << i;
    EXPECT_EQ(rotationMatrix[15], 1.0f);

    // A matrix 1 % too large draws the model 2 % larger; compare with the same rotation made
    // exactly orthonormal (Gram-Schmidt in double, the third column as the cross product).
    const Extent spun = drawnExtent(context);
    Columns e = m;
    for (int k = 0; k < 2; ++k) {
        if (k == 1)
            for (int i = 0; i < 3; ++i) e.c[1][i] -= e.dot(0, 1) * e.c[0][i];
        const double length = std::sqrt(e.dot(k, k));
        for (int i = 0; i < 3; ++i) e.c[k][i] /= length;
    }
    for (int i = 0; i < 3; ++i) e.c[2][i] = e.c[0][(i + 1) % 3] * e.c[1][(i + 2) % 3] - e.c[0][(i + 2) % 3] * e.c[1][(i + 1) % 3];
    for (int k = 0; k < 3; ++k)
        for (int i = 0; i < 3; ++i) rotationMatrix[4 * k + i] = float(e.c[k][i]);
    const Extent exact = drawnExtent(context);
    ASSERT_GT(exact.pixels, side * side / 20) << "the model is missing";
    EXPECT_NEAR(spun.left, exact.left, 1);
    EXPECT_NEAR(spun.top, exact.top, 1);
    EXPECT_NEAR(spun.right, exact.right, 1);
    EXPECT_NEAR(spun.bottom, exact.bottom, 1);
    EXPECT_NEAR(spun.pixels, exact.pixels, exact.pixels / 200);
}

}  // namespace
