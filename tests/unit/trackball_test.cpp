// The trackball: where window points land on the sphere, and how presses, drags and releases
// move it between resting, dragging, spinning freely and stopped.
#include "tests/unit/app_fixture.h"

#include "scene/redraw.h"
#include "scene/viewer_state.h"
#include "trackball/trackball.h"

#include <cmath>

namespace {

const float tolerance = 1e-6f;

float length(const Vec3& v) { return std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z); }

Vec3 project(int x, int y, int width, int height) {
    Vec3 v;
    trackballProject(x, y, width, height, v);
    return v;
}

void expectVec3(const Vec3& actual, float x, float y, float z, float within = tolerance) {
    EXPECT_NEAR(actual.x, x, within);
    EXPECT_NEAR(actual.y, y, within);
    EXPECT_NEAR(actual.z, z, within);
}

// A non-square window, so a mix-up of width and height shows.
const int width = 800;
const int height = 600;

class TrackballTest : public AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        windowWidth = width;
        windowHeight = height;
    }
};

}  // namespace

TEST(TrackballProjectTest, CentreMapsToThePoleAndRimToTheEquator) {
    expectVec3(project(400, 300, width, height), 0.0f, 0.0f, 1.0f);
    // Window y grows downwards, the sphere's y upwards.
    expectVec3(project(800, 300, width, height), 1.0f, 0.0f, 0.0f);
    expectVec3(project(0, 300, width, height), -1.0f, 0.0f, 0.0f);
    expectVec3(project(400, 0, width, height), 0.0f, 1.0f, 0.0f);
    expectVec3(project(400, 600, width, height), 0.0f, -1.0f, 0.0f);
}

TEST(TrackballProjectTest, HeightFollowsTheCosineOfTheDistance) {
    // Half way to the rim: (0.5, 0, cos(pi/4)) normalised.
    const float z = std::cos(0.25f * 3.14159265f);
    const float norm = std::sqrt(0.25f + z * z);
    expectVec3(project(600, 300, width, height), 0.5f / norm, 0.0f, z / norm, 1e-5f);
}

TEST(TrackballProjectTest, PointsFarOutsideOrNegativeLandOnTheEquatorInTheirDirection) {
    expectVec3(project(-5000, 300, width, height), -1.0f, 0.0f, 0.0f);
    expectVec3(project(400, 30000, width, height), 0.0f, -1.0f, 0.0f);
    // (-300, -300) is at (-1.75, 2) in sphere units: same direction, on the equator.
    const Vec3 v = project(-300, -300, width, height);
    const float n = std::sqrt(1.75f * 1.75f + 2.0f * 2.0f);
    expectVec3(v, -1.75f / n, 2.0f / n, 0.0f);
}

TEST(TrackballProjectTest, EveryPointGivesAUnitVector) {
    for (int y = -200; y <= 800; y += 50)
        for (int x = -200; x <= 1000; x += 50) EXPECT_NEAR(length(project(x, y, width, height)), 1.0f, 1e-6f) << x << "," << y;
}

TEST_F(TrackballTest, PressStartsADragWithoutAskingForAFrame) {
    trackballBegin(600, 300);
    EXPECT_EQ(tracking, 1);
    EXPECT_EQ(spinning, 1);
    EXPECT_EQ(animating, 0);
    EXPECT_EQ(pressX, 600);
    EXPECT_EQ(pressY, 300);
    const Vec3 expected = project(600, 300, width, height);
    expectVec3(lastVector, expected.x, expected.y, expected.z, 0.0f);
    EXPECT_EQ(idleFunc, nullptr);
    // The step of before the press is kept until the mouse moves.
    EXPECT_EQ(spinAngle, 2.0f);
}

TEST_F(TrackballTest, DragSetsTheStepFromTheLastTwoPointsAndAsksForAFrame) {
    trackballBegin(400, 300);  // the pole (0, 0, 1)
    trackballDrag(800, 300);   // the equator at (1, 0, 0)
    // A quarter turn of the sphere: chord sqrt(2), about the y axis, turning the way the mouse went.
    EXPECT_NEAR(spinAngle, 90.0f * std::sqrt(2.0f), 1e-4f);
    expectVec3(spinAxis, 0.0f, 1.0f, 0.0f);
    expectVec3(lastVector, 1.0f, 0.0f, 0.0f);
    EXPECT_EQ(idleFunc, idleFrame);

    // The next motion replaces the step; the axis is the cross product, not normalised.
    trackballDrag(800, 0);  // (1, 1) in sphere units: the equator at 45 degrees
    const float h = std::sqrt(0.5f);
    EXPECT_NEAR(spinAngle, 90.0f * std::sqrt((1.0f - h) * (1.0f - h) + h * h), 1e-4f);
    expectVec3(spinAxis, 0.0f, 0.0f, h);
}

TEST_F(TrackballTest, MotionWhileNotDraggingChangesNothing) {
    trackballDrag(100, 100);
    EXPECT_EQ(spinAngle, 2.0f);
    expectVec3(lastVector, 0.0f, 0.0f, 0.0f, 0.0f);
    EXPECT_EQ(idleFunc, nullptr);
}

TEST_F(TrackballTest, MotionToTheSameSpherePointGivesAZeroStepAndAZeroAxis) {
    trackballBegin(500, 250);
    trackballDrag(500, 250);
    EXPECT_EQ(spinAngle, 0.0f);
    expectVec3(spinAxis, 0.0f, 0.0f, 0.0f, 0.0f);
}

TEST_F(TrackballTest, ReleaseAwayFromThePressKeepsSpinningWithTheLastStep) {
    trackballBegin(400, 300);
    trackballDrag(500, 300);
    trackballDrag(520, 310);
    const float angle = spinAngle;
    const Vec3 axis = spinAxis;
    trackballEnd(700, 100);  // far from the last motion: the step is still that of the motion
    EXPECT_EQ(tracking, 0);
    EXPECT_EQ(spinning, 1);
    EXPECT_EQ(animating, 1);
    EXPECT_EQ(spinAngle, angle);
    expectVec3(spinAxis, axis.x, axis.y, axis.z, 0.0f);
    EXPECT_EQ(idleFunc, idleFrame);
}

TEST_F(TrackballTest, ReleaseAtThePressPixelStopsTheModelEvenAfterADrag) {
    trackballBegin(400, 300);
    trackballDrag(500, 350);
    trackballEnd(400, 300);
    EXPECT_EQ(tracking, 0);
    EXPECT_EQ(spinning, 0);
    EXPECT_EQ(animating, 0);
    EXPECT_EQ(spinAngle, 0.0f);
    EXPECT_EQ(idleFunc, idleFrame);  // one frame shows the stopped model
}

TEST_F(TrackballTest, ReleaseWithoutMotionElsewhereSpinsWithTheStepOfBeforeThePress) {
    trackballBegin(400, 300);
    trackballEnd(401, 300);
    EXPECT_EQ(spinning, 1);
    EXPECT_EQ(animating, 1);
    EXPECT_EQ(spinAngle, 2.0f);
    expectVec3(spinAxis, 0.3f, 0.2f, 0.4f, 0.0f);
}

TEST_F(TrackballTest, AClickWhileSpinningFreelyStopsIt) {
    trackballBegin(400, 300);
    trackballDrag(450, 300);
    trackballEnd(460, 300);
    ASSERT_EQ(animating, 1);

    trackballBegin(100, 100);
    EXPECT_EQ(animating, 0);  // the continuous frames end at the next idle call
    EXPECT_EQ(tracking, 1);
    trackballEnd(100, 100);
    EXPECT_EQ(spinning, 0);
    EXPECT_EQ(spinAngle, 0.0f);
}

TEST_F(TrackballTest, ReleaseWhileSpinningFreelyIsTreatedAsTheEndOfADrag) {
    // Spinning freely with press point (400, 300); a release whose press this window missed.
    trackballBegin(400, 300);
    trackballDrag(450, 300);
    trackballEnd(460, 300);
    const float angle = spinAngle;
    idleFunc = nullptr;

    trackballEnd(10, 20);
    EXPECT_EQ(spinning, 1);
    EXPECT_EQ(animating, 1);
    EXPECT_EQ(spinAngle, angle);
    EXPECT_EQ(idleFunc, idleFrame);

    trackballEnd(400, 300);  // exactly the stored press point
    EXPECT_EQ(spinning, 0);
    EXPECT_EQ(animating, 0);
}

TEST_F(TrackballTest, ReleaseWhileNotSpinningChangesNothing) {
    trackballEnd(0, 0);  // pressX/pressY are 0 at start, yet this is no click
    EXPECT_EQ(spinning, 0);
    EXPECT_EQ(animating, 1);
    EXPECT_EQ(spinAngle, 2.0f);
    EXPECT_EQ(idleFunc, nullptr);
}
