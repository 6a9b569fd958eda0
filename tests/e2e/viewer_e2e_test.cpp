// The viewer as a person meets it, on the native build and on the Windows build under Wine:
// the notice, the window, the first picture, the keys, the trackball, resizing and closing.
// Every checked state is saved as a PNG under e2e-shots/<target>/ in the build tree.
#include <X11/keysym.h>
#include <gtest/gtest.h>

#include <functional>
#include <iostream>
#include <memory>

#include "driver/image.h"
#include "driver/wait.h"
#include "viewer_session.h"

namespace viewer_e2e {
namespace {

using e2e::Image;
using e2e::Rect;
using e2e::Rgb;

const Rgb background = expected::background;
const Rgb fogBackground = expected::fogBackground;
constexpr int colourTolerance = 3;

// Lit versions of the two sides' diffuse colours: the front (0.7, 0.3, 0.4) comes out with red
// well above green, the back (0.2, 0.5, 0.3) with green well above red.
bool frontSide(Rgb c) {
    return c.r > c.g + 20;
}
bool backSide(Rgb c) {
    return c.g > c.r + 20;
}

// How mixed the two sides are: among horizontally adjacent pixels inside `area` that both
// show a side, the share where the side changes. Whole areas of each colour give well under 1 %;
// the two coplanar copies of each facet fighting over the depth test give about 10 %.
double sideMixing(const Image& picture, const Rect& area) {
    std::size_t pairs = 0, changes = 0;
    for (int y = area.y; y < area.bottom(); ++y)
        for (int x = area.x; x + 1 < area.right(); ++x) {
            const Rgb a = picture.at(x, y), b = picture.at(x + 1, y);
            const int sideA = frontSide(a) ? 1 : backSide(a) ? 2 : 0;
            const int sideB = frontSide(b) ? 1 : backSide(b) ? 2 : 0;
            if (sideA == 0 || sideB == 0)
                continue;
            ++pairs;
            if (sideA != sideB)
                ++changes;
        }
    return pairs == 0 ? 0.0 : double(changes) / pairs;
}

// Where the model is in a picture: everything that is not the clear colour.
std::optional<Rect> modelBox(const Image& picture, Rgb clear) {
    return e2e::boundingBox(picture, [clear](Rgb c) { return !c.near(clear, colourTolerance); });
}

double fraction(std::size_t count, const Rect& area) {
    return double(count) / (double(area.width) * area.height);
}

// Figures a person may want to compare between runs and targets, in the test's output.
void report(const std::string& what, const std::string& value) {
    std::cout << "  measured " << what << ": " << value << std::endl;
}

class ViewerE2E : public ::testing::TestWithParam<Target> {
protected:
    void SetUp() override {
        if (const std::optional<std::string> reason = ViewerSession::unavailable(GetParam()))
            GTEST_SKIP() << *reason;
        session = std::make_unique<ViewerSession>(GetParam(),
                                                  ::testing::UnitTest::GetInstance()->current_test_info()->name());
    }

    void TearDown() override { session.reset(); }

    // Starts the program and gets past the notice to the first frame.
    void startViewer() {
        session->start();
        ASSERT_NO_FATAL_FAILURE(session->openWindow());
    }

    Image client() { return session->grabClient(); }

    // The client area once `condition` holds for it; saves the screen as `shot` either way.
    Image waitForPicture(const std::string& shot, const std::function<bool(const Image&)>& condition) {
        Image picture;
        const bool reached = e2e::waitUntil(
            [&] {
                picture = client();
                return condition(picture);
            },
            pictureTimeout, Millis(50));
        session->saveShot(shot);
        EXPECT_TRUE(reached) << "the picture never reached the state shown in " << session->shotPath(shot);
        return picture;
    }

    // True if the client area shows the same picture for `span` in a row within `timeout`.
    bool settlesFor(Millis span, Millis timeout) {
        const e2e::Clock::time_point deadline = e2e::Clock::now() + timeout;
        while (e2e::Clock::now() < deadline) {
            const Image before = client();
            if (!e2e::waitUntil([&] { return client() != before; }, span, Millis(50)))
                return true;
        }
        return false;
    }

    // True if the picture changes `times` times in a row, each change within `each`.
    bool keepsChanging(int times, Millis each) {
        Image last = client();
        for (int i = 0; i < times; ++i) {
            Image next;
            if (!e2e::waitUntil(
                    [&] {
                        next = client();
                        return next != last;
                    },
                    each, Millis(20)))
                return false;
            last = next;
        }
        return true;
    }

    void typeOverClient(unsigned long keysym) {
        const Rect area = session->clientRect();
        session->x().movePointer(area.x + 10, area.y + 10);
        session->x().typeKey(keysym);
    }

    std::unique_ptr<ViewerSession> session;
};

TEST_P(ViewerE2E, NoticeComesFirstThenTheWindowShowsTheModel) {
    session->start();
    e2e::XClient& x = session->x();

    // The notice, and nothing of the viewer's own while it is up.
    const std::optional<e2e::WindowInfo> notice = x.waitForWindow(expected::noticeCaption, startTimeout);
    ASSERT_TRUE(notice) << "no window titled \"" << expected::noticeCaption << "\"; windows:\n" << x.describeWindows();
    session->saveShot("notice");
    EXPECT_FALSE(e2e::waitUntil([&] { return !x.findWindows(expected::windowTitle).empty(); }, Millis(1500)))
        << "the viewer's window came while the notice was still up";
    ASSERT_NO_FATAL_FAILURE(session->openWindow());

    // Placed at (50, 50) with the fixed square size.
    const std::optional<Rect> outer = session->waitForOuterRect(expected::outerWindow, pictureTimeout);
    session->saveShot("first-frame");
    ASSERT_TRUE(outer) << "cannot measure the window; see " << session->shotPath("first-frame");
    EXPECT_EQ(expected::outerWindow.describe(), outer->describe());

    // The background all round, the model in the middle, the two sides in two colours.
    const Image picture = client();
    const Rect area = picture.bounds();
    EXPECT_EQ(background, e2e::dominantColour(picture)) << "the most common colour is the background";
    for (const Rect corner : {Rect{0, 0, 40, 40}, Rect{area.width - 40, 0, 40, 40}, Rect{0, area.height - 40, 40, 40},
                              Rect{area.width - 40, area.height - 40, 40, 40}})
        EXPECT_EQ(40u * 40u, e2e::countPixels(picture, e2e::near(background, colourTolerance), corner))
            << "corner " << corner.describe() << " of the client area is not all background";

    const std::optional<Rect> model = modelBox(picture, background);
    ASSERT_TRUE(model) << "nothing but background in the client area";
    // The model is 16 units wide and about 15.7 high in a view 30 units across.
    EXPECT_NEAR(0.53, double(model->width) / area.width, 0.08) << model->describe();
    EXPECT_NEAR(0.52, double(model->height) / area.height, 0.08) << model->describe();
    EXPECT_NEAR(area.width / 2.0, model->x + model->width / 2.0, area.width * 0.05) << model->describe();
    const double front = fraction(e2e::countPixels(picture, frontSide, *model), *model);
    const double back = fraction(e2e::countPixels(picture, backSide, *model), *model);
    report("window", outer->describe());
    report("client area", session->clientRect().describe());
    report("background", e2e::dominantColour(picture).describe());
    report("model box", model->describe());
    report("front and back colour shares of the model box", std::to_string(front) + ", " + std::to_string(back));
    EXPECT_GT(front, 0.05) << "little of the front colour";
    EXPECT_GT(back, 0.05) << "little of the back colour";
    const double mixing = sideMixing(picture, *model);
    report("side changes between neighbouring model pixels", std::to_string(mixing));
    EXPECT_LT(mixing, 0.03) << "the two sides' colours are mixed into each other instead of forming whole areas "
                               "(the depth test lets the wrong copy of facets through); see "
                            << session->shotPath("first-frame");

    // At rest the picture does not change, although frames keep coming.
    EXPECT_TRUE(settlesFor(Millis(1000), pictureTimeout)) << "the model moves without being touched";
    EXPECT_EQ(picture, client()) << "the resting picture changed";

    session->closeWithEscape();
}

TEST_P(ViewerE2E, KeysToggleFogAndWireframe) {
    ASSERT_NO_FATAL_FAILURE(startViewer());
    ASSERT_TRUE(settlesFor(Millis(500), pictureTimeout));
    const Image plain = client();
    session->saveShot("plain");
    const std::optional<Rect> model = modelBox(plain, background);
    ASSERT_TRUE(model);
    const double plainBackground =
        fraction(e2e::countPixels(plain, e2e::near(background, colourTolerance), *model), *model);

    // "f": the fog's clear colour round the model; again: the first picture back.
    typeOverClient(XK_f);
    const Image fogged = waitForPicture("fog", [](const Image& p) {
        return p.at(5, 5).near(fogBackground, colourTolerance) &&
               p.at(p.width() - 6, p.height() - 6).near(fogBackground, colourTolerance);
    });
    report("fog background", e2e::dominantColour(fogged).describe());
    EXPECT_EQ(fogBackground, e2e::dominantColour(fogged));
    ASSERT_TRUE(modelBox(fogged, fogBackground)) << "the model is gone under fog";
    typeOverClient(XK_f);
    waitForPicture("fog-off", [&](const Image& p) { return p == plain; });

    // "p": outlines, so much more background inside the model's box; again: filled.
    typeOverClient(XK_p);
    const Image wire = waitForPicture("wireframe", [&](const Image& p) {
        return fraction(e2e::countPixels(p, e2e::near(background, colourTolerance), *model), *model) >
               plainBackground + 0.25;
    });
    report(
        "background share of the model box, filled and outlined",
        std::to_string(plainBackground) + ", " +
            std::to_string(fraction(e2e::countPixels(wire, e2e::near(background, colourTolerance), *model), *model)));
    EXPECT_GT(e2e::countPixels(wire, frontSide, *model), 1000u) << "the outlines show the front colour";
    EXPECT_GT(e2e::countPixels(wire, backSide, *model), 1000u) << "the outlines show the back colour";
    typeOverClient(XK_p);
    waitForPicture("wireframe-off", [&](const Image& p) { return p == plain; });

    // Capitals do nothing: after "F", "P" and then "f" the picture is the fog picture, not
    // fog off again and not outlines.
    typeOverClient(XK_F);
    typeOverClient(XK_P);
    typeOverClient(XK_f);
    waitForPicture("capitals-then-f", [&](const Image& p) { return p.at(5, 5).near(fogBackground, colourTolerance); });
    EXPECT_TRUE(settlesFor(Millis(500), pictureTimeout));
    EXPECT_EQ(0u, e2e::differingPixels(fogged, client())) << "\"F\" or \"P\" changed the picture";

    session->closeWithEscape();
}

TEST_P(ViewerE2E, DragTurnsReleaseSpinsClickStops) {
    ASSERT_NO_FATAL_FAILURE(startViewer());
    ASSERT_TRUE(settlesFor(Millis(500), pictureTimeout));
    const Image resting = client();
    const Rect area = session->clientRect();
    e2e::XClient& x = session->x();

    // Press in the middle: no longer drawn continuously, the picture comes to rest (the press
    // may still bring one frame with the starting step). Then drag right and down: the model
    // turns with the pointer, and stays where the drag left it while the button is held still.
    const int x0 = area.x + area.width / 2, y0 = area.y + area.height / 2;
    const int x1 = x0 + 150, y1 = y0 + 80;
    x.movePointer(x0, y0);
    x.pressButton(1);
    EXPECT_TRUE(settlesFor(Millis(800), pictureTimeout)) << "the model moves while the button is held";
    const Image pressed = client();
    x.movePointerAlong(x0, y0, x1, y1, 15, Millis(30));
    const Image dragged = waitForPicture("dragged", [&](const Image& p) { return p != pressed; });
    report("pixels changed by the drag", std::to_string(e2e::differingPixels(pressed, dragged)));
    EXPECT_GT(e2e::differingPixels(pressed, dragged), std::size_t(area.width) * area.height / 20)
        << "the drag turned the model only a little";
    EXPECT_TRUE(settlesFor(Millis(800), pictureTimeout)) << "the model moves while the button is held still";
    session->saveShot("held");

    // Released away from the press point: it keeps turning.
    x.releaseButton(1);
    EXPECT_TRUE(keepsChanging(5, Millis(5000))) << "the model does not keep turning after the release";
    session->saveShot("spinning");

    // A click at one spot stops it.
    x.pressButton(1);
    x.releaseButton(1);
    EXPECT_TRUE(settlesFor(Millis(1500), pictureTimeout)) << "the model still turns after a click";
    const Image stopped = client();
    session->saveShot("stopped");
    EXPECT_TRUE(modelBox(stopped, background)) << "the model is gone after the spin";
    EXPECT_NE(resting, stopped);

    session->closeWithEscape();
}

TEST_P(ViewerE2E, ResizedWindowSnapsBackToItsSize) {
    ASSERT_NO_FATAL_FAILURE(startViewer());
    ASSERT_TRUE(settlesFor(Millis(500), pictureTimeout));
    const Image picture = client();
    const Rect start = expected::outerWindow;
    e2e::XClient& x = session->x();

    // Larger from the bottom-right corner: back to the fixed size, where it was.
    // Smaller from the top-left corner: back to the fixed size, with the corner where the drag
    // left it (which shows that the resize really happened).
    Rect moved = start;
    if (GetParam() == Target::Wine) {
        // NOTE: Wine runs the Win32 sizing loop for a frame dragged inside its desktop.
        const int cornerX = start.right() - 2, cornerY = start.bottom() - 2;
        x.movePointer(cornerX, cornerY);
        x.pressButton(1);
        x.movePointerAlong(cornerX, cornerY, cornerX + 90, cornerY + 60, 6, Millis(40));
        x.releaseButton(1);
        const std::optional<Rect> afterGrow = session->waitForOuterRect(start, pictureTimeout);
        session->saveShot("resized-larger");
        ASSERT_TRUE(afterGrow);
        EXPECT_EQ(start.describe(), afterGrow->describe());

        moved = {start.x + 40, start.y + 30, start.width, start.height};
        x.movePointer(start.x + 1, start.y + 1);
        x.pressButton(1);
        x.movePointerAlong(start.x + 1, start.y + 1, moved.x + 1, moved.y + 1, 6, Millis(40));
        x.releaseButton(1);
    } else {
        // No window manager: the X server applies the request; the program must undo the size.
        x.resizeWindow(session->window(), 1000, 900);
        const std::optional<Rect> afterGrow = session->waitForOuterRect(start, pictureTimeout);
        session->saveShot("resized-larger");
        ASSERT_TRUE(afterGrow);
        EXPECT_EQ(start.describe(), afterGrow->describe());

        moved = {start.x + 40, start.y + 30, start.width, start.height};
        x.moveResizeWindow(session->window(), {moved.x, moved.y, 600, 500});
    }
    const std::optional<Rect> afterShrink = session->waitForOuterRect(moved, pictureTimeout);
    session->saveShot("resized-smaller");
    ASSERT_TRUE(afterShrink);
    EXPECT_EQ(moved.describe(), afterShrink->describe());

    // And the picture is whole again.
    waitForPicture("after-resize", [&](const Image& p) { return p == picture; });

    session->closeWithEscape();
}

INSTANTIATE_TEST_SUITE_P(Targets, ViewerE2E, ::testing::Values(Target::Native, Target::Wine),
                         [](const ::testing::TestParamInfo<Target>& info) { return targetName(info.param); });

}  // namespace
}  // namespace viewer_e2e
