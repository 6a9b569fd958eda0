// What a person sees in an 819 x 819 window: real frames rendered offscreen and read back.
#include "scene/scene.h"
#include "scene/viewer_state.h"
#include "tests/render/offscreen_context.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <sys/stat.h>

namespace {

const int side = 819;
const Pixel plainBackground = {38, 38, 38};  // 0.15 of 255
const Pixel fogBackground = {128, 64, 64};   // (0.5, 0.25, 0.25)

bool near(const Pixel& a, const Pixel& b, int tolerance = 1) {
    return std::abs(a.r - b.r) <= tolerance && std::abs(a.g - b.g) <= tolerance && std::abs(a.b - b.b) <= tolerance;
}

struct Box {
    int left = side, top = side, right = -1, bottom = -1;
};

class Picture : public ::testing::Test {
protected:
    std::unique_ptr<OffscreenContext> context;

    void SetUp() override {
        windowWidth = windowHeight = side;
        fogEnabled = wireframe = spinning = tracking = 0;
        animating = 1;
        spinAngle = 2.0f;
        spinAxis = {0.3f, 0.2f, 0.4f};
        context.reset(new OffscreenContext(side, side));
        ASSERT_TRUE(context->ok()) << "no offscreen OpenGL context";
        initScene();
    }

    std::vector<unsigned char> frame(const std::string& shot) {
        renderFrame();
        mkdir(HELICOID_SHOT_DIR, 0755);
        context->save(std::string(HELICOID_SHOT_DIR) + "/" + shot + ".ppm");
        return context->rgba();
    }

    // The smallest box holding every pixel that is not the background.
    Box modelBox(const Pixel& background) const {
        Box box;
        for (int y = 0; y < side; ++y) {
            for (int x = 0; x < side; ++x) {
                if (near(context->at(x, y), background, 2)) continue;
                box = {std::min(box.left, x), std::min(box.top, y), std::max(box.right, x), std::max(box.bottom, y)};
            }
        }
        return box;
    }

    int countInside(const Box& box, bool (*test)(const Pixel&)) const {
        int count = 0;
        for (int y = box.top; y <= box.bottom; ++y)
            for (int x = box.left; x <= box.right; ++x) count += test(context->at(x, y));
        return count;
    }
};

bool isPlainBackground(const Pixel& p) { return near(p, plainBackground, 2); }
bool isReddish(const Pixel& p) { return p.r > p.g + 20; }
bool isGreenish(const Pixel& p) { return p.g > p.r + 20; }

TEST_F(Picture, ModelSitsWhereTheOrthographicBoxPutsItOnThePlainBackground) {
    frame("resting");
    for (Pixel corner : {context->at(0, 0), context->at(side - 1, 0), context->at(0, side - 1), context->at(side - 1, side - 1)})
        EXPECT_TRUE(near(corner, plainBackground)) << corner.r << "," << corner.g << "," << corner.b;

    // Model x spans +-7.99589 and its height 0..15.707963 is shifted down by 9; the view is +-15.
    Box box = modelBox(plainBackground);
    double scale = side / 30.0;
    EXPECT_NEAR(box.left, side / 2.0 - 7.99589 * scale, 3);
    EXPECT_NEAR(box.right, side / 2.0 + 7.99589 * scale, 3);
    EXPECT_NEAR(box.top, (15 - 6.707963) * scale, 3);
    EXPECT_NEAR(box.bottom, (15 + 9) * scale, 3);
}

TEST_F(Picture, FrontAndBackFacesShowDifferentColours) {
    frame("two-sides");
    Box box = modelBox(plainBackground);
    int reddish = countInside(box, isReddish);
    int greenish = countInside(box, isGreenish);
    EXPECT_GT(reddish, 5000) << "front faces (pink) visible";
    EXPECT_GT(greenish, 5000) << "back faces (green) visible";
}

TEST_F(Picture, FogTurnsTheBackgroundReddishAndTintsTheModel) {
    std::vector<unsigned char> clear = frame("resting");
    fogEnabled = 1;
    std::vector<unsigned char> fogged = frame("fog");
    EXPECT_TRUE(near(context->at(0, 0), fogBackground)) << context->at(0, 0).r << "," << context->at(0, 0).g;
    Box box = modelBox(fogBackground);
    EXPECT_GT(box.right - box.left, 400) << "the model is still drawn";
    EXPECT_NE(clear, fogged);

    fogEnabled = 0;
    EXPECT_EQ(frame("fog-off"), clear) << "toggling back restores the first look";
}

TEST_F(Picture, WireframeLeavesBackgroundBetweenTheLines) {
    frame("resting");
    Box box = modelBox(plainBackground);
    int filledBackground = countInside(box, isPlainBackground);
    wireframe = 1;
    frame("wireframe");
    int outlinedBackground = countInside(box, isPlainBackground);
    int area = (box.right - box.left + 1) * (box.bottom - box.top + 1);
    EXPECT_GT(outlinedBackground, filledBackground + area / 5) << "outlines leave background between them";
    EXPECT_LT(outlinedBackground, area) << "the lines are drawn";

    wireframe = 0;
    frame("filled-again");
    EXPECT_EQ(countInside(box, isPlainBackground), filledBackground);
}

TEST_F(Picture, OnlyASpinningFrameChangesThePicture) {
    std::vector<unsigned char> first = frame("resting");
    EXPECT_EQ(frame("resting-again"), first) << "a resting frame repeats the picture";
    spinning = 1;
    std::vector<unsigned char> turned = frame("spinning");
    EXPECT_NE(turned, first);
    EXPECT_NE(frame("spinning-more"), turned);
}

}  // namespace
